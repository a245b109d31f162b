#include "run/Export.h"
#include "run/CellText.h"
#include "run/LanguageTag.h"
#include "run/ResultFile.h"

#include "tests/support/TempDir.h"
#include "text/Utf16.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace bitexa {
namespace {

TEST(ExportCellText, TrimsOnlyWhatTheEnglishRulesAndTheJoinerAdded) {
    const struct {
        const char* what;
        std::wstring cell;
        std::size_t join;
        SplitMode mode;
        std::wstring expected;
    } cases[] = {
        {"the blank after a sentence", L"It rained. ", NoJoin, SplitMode::English, L"It rained."},
        {"two sentences: one blank between", L"It rained.  We stayed. ", 11, SplitMode::English,
         L"It rained. We stayed."},
        {"a paragraph break joined after", L"The Keeper ", 10, SplitMode::English, L"The Keeper"},
        {"a paragraph break joined before", L" (1)", 0, SplitMode::English, L"(1)"},
        {"blanks inside and in front stay", L"  Mr.  Smith  ", NoJoin, SplitMode::English,
         L"  Mr.  Smith"},
        {"other spaces stay", L"Tab\t\u3000", NoJoin, SplitMode::English, L"Tab\t\u3000"},
        {"a join beyond the cell is none", L"A. ", 7, SplitMode::English, L"A."},
        {"a join not at a blank is none", L"AB. ", 1, SplitMode::English, L"AB."},
        {"Japanese cells stay whole", L"一。 二。 ", 3, SplitMode::Japanese, L"一。 二。 "},
        {"line cells stay whole", L"a  b ", 1, SplitMode::Lines, L"a  b "},
        {"an empty cell", L"", NoJoin, SplitMode::English, L""},
        {"blanks only", L"   ", 1, SplitMode::English, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExportCellText(c.cell, c.join, c.mode), c.expected) << c.what;
    }
}

// A corrected cell may hold more than two segments.
TEST(ExportSegmentsText, TrimsEverySegmentOfAnEnglishCellAndRunsOthersTogether) {
    const struct {
        std::vector<std::wstring> segments;
        SplitMode mode;
        std::wstring text;
    } cases[] = {
        {{L"One. ", L"Two.  ", L"Three."}, SplitMode::English, L"One. Two. Three."},
        {{L"", L"Alone. ", L" "}, SplitMode::English, L"Alone."},
        {{L"  Indented.", L"Next. "}, SplitMode::English, L"  Indented. Next."},
        {{L"一。", L"二。", L"三。"}, SplitMode::Japanese, L"一。二。三。"},
        {{L"a ", L"b "}, SplitMode::Lines, L"a b "},
        {{}, SplitMode::English, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExportSegmentsText(c.segments, c.mode), c.text);
    }
    // Two segments read as the cell with its join.
    EXPECT_EQ(ExportSegmentsText({L"It rained. ", L"Then it stopped. "}, SplitMode::English),
              ExportCellText(L"It rained.  Then it stopped. ", 11, SplitMode::English));
}

TEST(IsLanguageTag, TakesWellFormedTagsOfKnownLanguages) {
    for (const char* tag : {"en", "ja", "EN", "en-GB", "en-us", "ja-JP", "zh-Hant-TW", "de-CH-1996",
                            "es-419", "yue", "x-bitexa", "ja-JP-x-legal", "i-klingon"}) {
        EXPECT_TRUE(IsLanguageTag(tag)) << tag;
    }
    for (const char* tag : {"", "jp", "en_US", "en-UK", "e", "english", "abcd", "123", "en-",
                            "en--GB", "-en", "en GB", "ja\"", "en-a"}) {
        EXPECT_FALSE(IsLanguageTag(tag)) << tag;
    }
}

TEST(DefaultLanguage, FollowsTheSplitMode) {
    EXPECT_EQ(DefaultLanguage(SplitMode::English), "en");
    EXPECT_EQ(DefaultLanguage(SplitMode::Japanese), "ja");
    EXPECT_EQ(DefaultLanguage(SplitMode::Lines), "");
}

// Rows as an English-to-Japanese run leaves them, with the first row of two empty cells, a
// paragraph break joined to a sentence, one-sided rows, and characters that need care.
RunState SampleState() {
    RunState state;
    state.sourceMode = SplitMode::English;
    state.targetMode = SplitMode::Japanese;
    const struct {
        std::wstring source;
        std::size_t sourceJoin;
        std::wstring target;
        std::size_t targetJoin;
    } rows[] = {
        {L"", NoJoin, L"", NoJoin},
        {L"The Keeper ", 10, L"灯台守", NoJoin},
        {L"It rained.  We stayed. ", 11, L"雨だった。家にいた。", 5},
        {L"Tom & Jerry <said> \"hi\" & 'bye'. ", NoJoin, L"「こんにちは」<&>", NoJoin},
        {L"Only here. ", NoJoin, L"", NoJoin},
        {L"", NoJoin, L"ここだけ。", NoJoin},
        {std::wstring(L"Bell\x07 and NUL\0 here.", 20), NoJoin, L"ベル\x1B\uFFFE。", NoJoin},
        {L"Tab\there. ", NoJoin, L"タブ\tここ。", NoJoin},
        {L"\x01", NoJoin, L"消える", NoJoin},
    };
    for (const auto& row : rows) {
        state.sourceColumn.push_back(row.source);
        state.targetColumn.push_back(row.target);
        RowInfo info;
        info.sourceJoin = row.sourceJoin;
        info.targetJoin = row.targetJoin;
        state.rowInfo.push_back(info);
        state.resultText += row.source + L"\t" + row.target + L"\n";
    }
    return state;
}

class StringSink : public ByteSink {
public:
    std::string bytes;
    bool Write(std::string_view more) override {
        bytes += more;
        return true;
    }
};

// Control characters stay in a TSV file; U+FFFE is EF BF BE in UTF-8.
const char ControlRow[] = "Bell\x07 and NUL\0 here.\tベル\x1B\xEF\xBF\xBE。\n";

TEST(WriteTsv, WritesUtf8RowsWithTrimmedCellsAndNoTabInside) {
    const RunState state = SampleState();
    StringSink sink;
    ExportCounts counts;
    ASSERT_TRUE(WriteTsv(sink, RowsOf(state), counts));
    EXPECT_EQ(sink.bytes, "\t\n"
                          "The Keeper\t灯台守\n"
                          "It rained. We stayed.\t雨だった。家にいた。\n"
                          "Tom & Jerry <said> \"hi\" & 'bye'.\t「こんにちは」<&>\n"
                          "Only here.\t\n"
                          "\tここだけ。\n" +
                              std::string(ControlRow, sizeof ControlRow - 1) +
                              "Tab here.\tタブ ここ。\n"
                              "\x01\t消える\n");
    EXPECT_EQ(counts.rowsWritten, 9u);
    EXPECT_EQ(counts.oneSidedRowsLeftOut, 0u);
}

struct FreeDocument {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using Document = std::unique_ptr<xmlDoc, FreeDocument>;

Document Parse(const std::string& bytes) {
    return Document(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "export.tmx",
                                  nullptr, XML_PARSE_NONET));
}

std::string Attribute(xmlNode* node, const char* name, const char* ns = nullptr) {
    xmlChar* value = ns ? xmlGetNsProp(node, reinterpret_cast<const xmlChar*>(name),
                                       reinterpret_cast<const xmlChar*>(ns))
                        : xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (value == nullptr) {
        return "(none)";
    }
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

std::string Text(xmlNode* node) {
    xmlChar* value = xmlNodeGetContent(node);
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

std::vector<xmlNode*> Children(xmlNode* node, const char* name) {
    std::vector<xmlNode*> found;
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE &&
            std::string(reinterpret_cast<const char*>(child->name)) == name) {
            found.push_back(child);
        }
    }
    return found;
}

const char* const XmlNamespace = "http://www.w3.org/XML/1998/namespace";

// A unit's two variants as (language, text) pairs.
using Unit = std::vector<std::pair<std::string, std::string>>;

struct ReadBack {
    std::map<std::string, std::string> header;
    std::vector<Unit> units;
};

ReadBack ReadTmx(const std::string& bytes) {
    ReadBack back;
    const Document doc = Parse(bytes);
    EXPECT_TRUE(doc) << bytes;
    if (!doc) {
        return back;
    }
    xmlNode* root = xmlDocGetRootElement(doc.get());
    EXPECT_STREQ(reinterpret_cast<const char*>(root->name), "tmx");
    EXPECT_EQ(Attribute(root, "version"), "1.4");
    const auto headers = Children(root, "header");
    const auto bodies = Children(root, "body");
    EXPECT_EQ(headers.size(), 1u);
    EXPECT_EQ(bodies.size(), 1u);
    if (headers.size() != 1 || bodies.size() != 1) {
        return back;
    }
    for (xmlAttr* a = headers[0]->properties; a != nullptr; a = a->next) {
        const std::string name(reinterpret_cast<const char*>(a->name));
        back.header[name] = Attribute(headers[0], name.c_str());
    }
    for (xmlNode* tu : Children(bodies[0], "tu")) {
        Unit unit;
        for (xmlNode* tuv : Children(tu, "tuv")) {
            const auto segs = Children(tuv, "seg");
            EXPECT_EQ(segs.size(), 1u);
            unit.emplace_back(Attribute(tuv, "lang", XmlNamespace),
                              segs.empty() ? "" : Text(segs[0]));
        }
        back.units.push_back(unit);
    }
    return back;
}

TEST(WriteTmx, WritesAHeaderAndOneUnitPerTwoSidedRow) {
    const RunState state = SampleState();
    StringSink sink;
    ExportCounts counts;
    ASSERT_TRUE(WriteTmx(sink, RowsOf(state), "en-GB", "ja", counts));
    EXPECT_EQ(sink.bytes.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u);

    const ReadBack back = ReadTmx(sink.bytes);
    EXPECT_EQ(back.header, (std::map<std::string, std::string>{
                               {"creationtool", "Bitexa"},
                               {"creationtoolversion", BITEXA_VERSION},
                               {"segtype", "sentence"},
                               {"o-tmf", "bitexa"},
                               {"adminlang", "en"},
                               {"srclang", "en-GB"},
                               {"datatype", "plaintext"},
                           }));
    // The cells without the trailing blanks, joins as one blank; the row that only had a
    // control character on one side goes with the one-sided rows.
    EXPECT_EQ(back.units,
              (std::vector<Unit>{
                  {{"en-GB", "The Keeper"}, {"ja", "灯台守"}},
                  {{"en-GB", "It rained. We stayed."}, {"ja", "雨だった。家にいた。"}},
                  {{"en-GB", "Tom & Jerry <said> \"hi\" & 'bye'."}, {"ja", "「こんにちは」<&>"}},
                  {{"en-GB", "Bell and NUL here."}, {"ja", "ベル。"}},
                  {{"en-GB", "Tab\there."}, {"ja", "タブ\tここ。"}},
              }));
    EXPECT_EQ(counts.rowsWritten, 5u);
    EXPECT_EQ(counts.oneSidedRowsLeftOut, 3u);
    // BEL, NUL, ESC, U+FFFE and U+0001.
    EXPECT_EQ(counts.charactersDropped, 5u);
    // The markup characters of the text are written as references.
    EXPECT_NE(sink.bytes.find("Tom &amp; Jerry &lt;said&gt;"), std::string::npos);
}

TEST(WriteTmx, AJapaneseSourceAndAnEnglishTargetRoundTrip) {
    // Through a whole run, as a user makes it: Japanese rules on the source, English on the
    // target, the slider at +5 (a target twice as long).
    TempDir dir;
    RunInputs inputs;
    inputs.sourcePath = dir.Write("ja.txt", "（１）\n猫はマットの上に座った。幸せだった。\n"
                                            "（２）\nそれから眠った。\n");
    inputs.sourceMode = 1;
    inputs.targetPath = dir.Write("en.txt", "(1)\nThe cat sat on the mat. It was happy.\n"
                                            "(2)\nThen it slept.\n");
    inputs.targetMode = 2;
    inputs.sliderPosition = 5;
    RunState state;
    RunAlignment(inputs, state, [](const std::wstring&, const std::wstring&) {});

    ExportCounts counts;
    ASSERT_TRUE(ExportRun(dir.Wide("out.tmx"), state, {ExportFormat::Tmx, "", ""}, counts).ok());
    const ReadBack back = ReadTmx(dir.Read("out.tmx"));
    EXPECT_EQ(back.header.at("srclang"), "ja");
    std::vector<Unit> expected;
    for (std::size_t row = 0; row < state.sourceColumn.size(); ++row) {
        const std::wstring source = ExportCellText(state.sourceColumn[row],
                                                   state.rowInfo[row].sourceJoin, state.sourceMode);
        const std::wstring target = ExportCellText(state.targetColumn[row],
                                                   state.rowInfo[row].targetJoin, state.targetMode);
        if (!source.empty() && !target.empty()) {
            expected.push_back({{"ja", ToUtf8(source)}, {"en", ToUtf8(target)}});
        }
    }
    EXPECT_EQ(back.units, expected);
    EXPECT_EQ(back.units.size(), counts.rowsWritten);
}

TEST(ExportRun, WritesTheResultFileByteForByteAndRefusesATmxWithoutLanguages) {
    TempDir dir;
    RunState state = SampleState();
    ExportCounts counts;
    ASSERT_TRUE(ExportRun(dir.Wide("a.txt"), state, {}, counts).ok());
    ASSERT_TRUE(WriteResultFile(dir.Wide("b.txt"), state.resultText).ok());
    EXPECT_EQ(dir.Read("a.txt"), dir.Read("b.txt"));

    // A side cut into lines has no language of its own; a given tag must be one.
    state.sourceMode = SplitMode::Lines;
    const Status missing = ExportRun(dir.Wide("c.tmx"), state, {ExportFormat::Tmx, "", ""}, counts);
    EXPECT_EQ(missing.kind, Status::Kind::CannotWrite);
    EXPECT_NE(missing.reason.find(L"source"), std::wstring::npos);
    const Status bad = ExportRun(dir.Wide("c.tmx"), state, {ExportFormat::Tmx, "en", "jp"}, counts);
    EXPECT_NE(bad.reason.find(L"'jp'"), std::wstring::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "c.tmx"));
    EXPECT_TRUE(ExportRun(dir.Wide("c.tmx"), state, {ExportFormat::Tmx, "en", "ja"}, counts).ok());
}

// Takes the first `room` bytes and fails after them.
class ShortSink : public ByteSink {
public:
    explicit ShortSink(std::size_t room) : room_(room) {}
    bool Write(std::string_view bytes) override {
        if (bytes.size() > room_) {
            return false;
        }
        room_ -= bytes.size();
        return true;
    }

private:
    std::size_t room_;
};

TEST(WriteTmx, ReportsASinkThatFails) {
    RunState state = SampleState();
    // Enough rows that the writer must pass bytes on before the end.
    for (int i = 0; i < 2000; ++i) {
        state.sourceColumn.push_back(L"A sentence of some length. ");
        state.targetColumn.push_back(L"ある程度の長さの文。");
    }
    state.rowInfo.clear();
    for (const std::size_t room : {0, 100, 10000}) {
        ShortSink sink(room);
        ExportCounts counts;
        EXPECT_FALSE(WriteTmx(sink, RowsOf(state), "en", "ja", counts)) << room;
        ShortSink tsvSink(room);
        EXPECT_FALSE(WriteTsv(tsvSink, RowsOf(state), counts)) << room;
    }
}

} // namespace
} // namespace bitexa
