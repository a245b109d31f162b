#include "run/CellText.h"
#include "run/Export.h"
#include "text/Utf16.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlwriter.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <utility>

namespace bitexa {

namespace {

// The characters XML 1.0 allows in a document (its production Char).
bool IsXmlCharacter(wchar_t c) {
    const auto u = static_cast<std::uint32_t>(c);
    return u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xD7FF) ||
           (u >= 0xE000 && u <= 0xFFFD) || (u >= 0x10000 && u <= 0x10FFFF);
}

std::wstring WithoutNonXmlCharacters(std::wstring text, std::size_t& dropped) {
    std::size_t kept = 0;
    for (wchar_t c : text) {
        if (IsXmlCharacter(c)) {
            text[kept++] = c;
        } else {
            ++dropped;
        }
    }
    text.resize(kept);
    return text;
}

// libxml2 writes its output through these; a failed write makes every later call of the writer
// fail too.
int WriteToSink(void* context, const char* buffer, int length) {
    auto* sink = static_cast<ByteSink*>(context);
    return sink->Write(std::string_view(buffer, static_cast<std::size_t>(length))) ? length : -1;
}

int CloseNothing(void*) {
    return 0;
}

// A failed write is the sink's to report; libxml2 would print it on standard error as well.
void Silent(void*, const char*, ...) {}

class QuietLibxml {
public:
    QuietLibxml() : m_handler(xmlGenericError), m_context(xmlGenericErrorContext) {
        xmlSetGenericErrorFunc(nullptr, Silent);
    }
    ~QuietLibxml() { xmlSetGenericErrorFunc(m_context, m_handler); }
    QuietLibxml(const QuietLibxml&) = delete;
    QuietLibxml& operator=(const QuietLibxml&) = delete;

private:
    xmlGenericErrorFunc m_handler;
    void* m_context;
};

struct FreeWriter {
    void operator()(xmlTextWriter* writer) const { xmlFreeTextWriter(writer); }
};

const xmlChar* X(const char* text) {
    return reinterpret_cast<const xmlChar*>(text);
}

// Writes one translation unit; false when the writer failed.
bool WriteUnit(xmlTextWriter* writer, const std::string& sourceLanguage,
               const std::string& sourceText, const std::string& targetLanguage,
               const std::string& targetText) {
    if (xmlTextWriterStartElement(writer, X("tu")) < 0) {
        return false;
    }
    for (const auto& [language, text] :
         {std::pair{&sourceLanguage, &sourceText}, std::pair{&targetLanguage, &targetText}}) {
        if (xmlTextWriterStartElement(writer, X("tuv")) < 0 ||
            xmlTextWriterWriteAttribute(writer, X("xml:lang"), X(language->c_str())) < 0 ||
            xmlTextWriterStartElement(writer, X("seg")) < 0 ||
            xmlTextWriterWriteString(writer, X(text->c_str())) < 0 ||
            xmlTextWriterEndElement(writer) < 0 || xmlTextWriterEndElement(writer) < 0) {
            return false;
        }
    }
    return xmlTextWriterEndElement(writer) >= 0;
}

bool WriteHeader(xmlTextWriter* writer, const std::string& sourceLanguage) {
    const std::pair<const char*, const char*> attributes[] = {
        {"creationtool", "Bitexa"}, {"creationtoolversion", BITEXA_VERSION},
        {"segtype", "sentence"},    {"o-tmf", "bitexa"},
        {"adminlang", "en"},        {"srclang", sourceLanguage.c_str()},
        {"datatype", "plaintext"},
    };
    if (xmlTextWriterStartElement(writer, X("header")) < 0) {
        return false;
    }
    for (const auto& [name, value] : attributes) {
        if (xmlTextWriterWriteAttribute(writer, X(name), X(value)) < 0) {
            return false;
        }
    }
    return xmlTextWriterEndElement(writer) >= 0;
}

} // namespace

bool WriteTmx(ByteSink& sink, const ExportRows& rows, const std::string& sourceLanguage,
              const std::string& targetLanguage, ExportCounts& counts) {
    counts = {};
    static std::once_flag initialised;
    std::call_once(initialised, xmlInitParser);
    const QuietLibxml quiet;

    // The writer owns the output buffer and closes it when it is freed.
    xmlOutputBuffer* output = xmlOutputBufferCreateIO(WriteToSink, CloseNothing, &sink, nullptr);
    if (output == nullptr) {
        throw std::bad_alloc();
    }
    const std::unique_ptr<xmlTextWriter, FreeWriter> writer(xmlNewTextWriter(output));
    if (!writer) {
        xmlOutputBufferClose(output);
        throw std::bad_alloc();
    }
    xmlTextWriter* w = writer.get();
    // The document type goes on one line, before the indentation of the elements is turned on.
    if (xmlTextWriterStartDocument(w, "1.0", "UTF-8", nullptr) < 0 ||
        xmlTextWriterWriteDTD(w, X("tmx"), nullptr, X("tmx14.dtd"), nullptr) < 0 ||
        xmlTextWriterWriteRaw(w, X("\n")) < 0 || xmlTextWriterSetIndent(w, 1) < 0 ||
        xmlTextWriterSetIndentString(w, X("  ")) < 0 ||
        xmlTextWriterStartElement(w, X("tmx")) < 0 ||
        xmlTextWriterWriteAttribute(w, X("version"), X("1.4")) < 0 ||
        !WriteHeader(w, sourceLanguage) || xmlTextWriterStartElement(w, X("body")) < 0) {
        return false;
    }
    const std::size_t rowCount = rows.sourceColumn.size();
    for (std::size_t row = 0; row < rowCount; ++row) {
        const RowInfo info = InfoOfRow(rows.rowInfo, rowCount, row);
        const std::wstring source = WithoutNonXmlCharacters(
            ExportCellText(rows.sourceColumn[row], info.sourceJoin, rows.sourceMode),
            counts.charactersDropped);
        const std::wstring target = WithoutNonXmlCharacters(
            ExportCellText(rows.targetColumn[row], info.targetJoin, rows.targetMode),
            counts.charactersDropped);
        if (source.empty() || target.empty()) {
            if (!source.empty() || !target.empty()) {
                ++counts.oneSidedRowsLeftOut;
            }
            continue;
        }
        if (!WriteUnit(w, sourceLanguage, ToUtf8(source), targetLanguage, ToUtf8(target))) {
            return false;
        }
        ++counts.rowsWritten;
    }
    // Closes body and tmx, and flushes.
    return xmlTextWriterEndDocument(w) >= 0;
}

} // namespace bitexa
