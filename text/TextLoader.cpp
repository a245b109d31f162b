#include "text/TextLoader.h"

#include "text/EncodingDetector.h"
#include "text/FileReader.h"
#include "text/LineSplitter.h"
#include "text/Utf16.h"
#include "text/Utf16Converter.h"
#include "text/rules/EnglishRules.h"
#include "text/rules/JapaneseRules.h"

#include <functional>
#include <string_view>
#include <vector>

namespace bitexa {

namespace {

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

} // namespace

std::wstring RefusedNameMessage(const std::wstring& path) {
    std::wstring text = UnreadableFormatMessage;
    const std::size_t at = text.find(L"%s");
    // The path goes in as it is: a '%' in a file name is just a character.
    text.replace(at, 2, path);
    return text;
}

bool HasTxtExtension(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'/');
    const std::wstring_view name =
        std::wstring_view(path).substr(slash == std::wstring::npos ? 0 : slash + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos) {
        return false; // a dot in a directory name is no extension
    }
    const std::wstring_view extension = name.substr(dot);
    constexpr std::wstring_view txt = L".txt";
    if (extension.size() != txt.size()) {
        return false;
    }
    for (std::size_t i = 0; i < txt.size(); ++i) {
        if (AsciiLower(extension[i]) != txt[i]) {
            return false;
        }
    }
    return true;
}

std::wstring UnreadableFileMessage(const Status& status) {
    return status.path + L" を読み込めませんでした。\n" + status.reason;
}

namespace {

// Reads the file and decodes its text, handing it out in pieces (see ConvertToWide).
Status DecodeFile(const std::wstring& path, const std::function<void(std::wstring_view)>& piece,
                  std::size_t* units = nullptr) {
    // The file's bytes are let go as soon as they are decoded.
    std::vector<unsigned char> bytes;
    if (Status status = ReadFileBytes(path, bytes); !status.ok() || bytes.empty()) {
        return status;
    }
    const CodePageChoice choice = DetectCodePage(bytes.data(), bytes.size());
    if (units != nullptr) {
        *units = bytes.size() - choice.skip; // at most one character per byte
    }
    Status status = ConvertToWide(bytes.data() + choice.skip, bytes.size() - choice.skip,
                                  choice.codePage, piece);
    if (!status.ok()) {
        status.path = path;
    }
    return status;
}

} // namespace

Status ReadTextFile(const std::wstring& path, std::wstring& text) {
    text.clear();
    std::size_t most = 0;
    const Status status = DecodeFile(
        path,
        [&](std::wstring_view piece) {
            if (text.empty()) {
                text.reserve(most);
            }
            text += piece;
        },
        &most);
    if (!status.ok()) {
        std::wstring().swap(text);
    }
    return status;
}

Status LoadSide(const std::wstring& path, SplitMode mode, SentenceList& list) {
    if (path.empty()) {
        return Status::Success(); // nothing named: the side keeps what it has
    }
    // A refused or unreadable file still replaces the list: the side goes on without segments.
    // The old segments go first, so that a side is never held twice.
    SentenceList().swap(list);
    if (!HasTxtExtension(path)) {
        SplitLines(std::wstring(), list);
        return Status::WithReason(Status::Kind::RefusedName, path, RefusedNameMessage(path));
    }
    if (mode == SplitMode::Lines) {
        // Cut into lines as it is decoded: the text is never held whole besides its lines.
        LineCutter cutter(list);
        Status status = DecodeFile(path, [&cutter](std::wstring_view piece) { cutter.Add(piece); });
        if (!status.ok()) {
            SentenceList().swap(list); // lines of a text that failed part-way are no text
            SplitLines(std::wstring(), list);
            return status;
        }
        cutter.Finish();
        return status;
    }
    std::wstring text;
    const Status status = ReadTextFile(path, text);
    if (mode == SplitMode::Japanese) {
        SplitJapanese(text);
    } else if (mode == SplitMode::English) {
        SplitEnglish(text);
    }
    SplitLines(text, list);
    return status;
}

Status LoadSentenceList(const std::wstring& path, int mode, SentenceList& list,
                        const Report& report) {
    Status status = LoadSide(path, SplitModeFromIndex(mode), list);
    ReportLoadStatus(status, report);
    return status;
}

void ReportLoadStatus(const Status& status, const Report& report) {
    if (!status.ok() && report) {
        report(status.kind == Status::Kind::RefusedName ? status.reason
                                                        : UnreadableFileMessage(status),
               ErrorCaption);
    }
}

} // namespace bitexa
