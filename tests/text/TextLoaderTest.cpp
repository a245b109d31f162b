#include "text/TextLoader.h"

#include "text/EncodingDetector.h"
#include "text/FileReader.h"
#include "text/NativePath.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace bitexa {
namespace {

namespace fs = std::filesystem;

using Reports = std::vector<std::pair<std::wstring, std::wstring>>;

// A fresh folder of its own for every test, removed afterwards.
class TextLoaderTest : public testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        m_dir = fs::temp_directory_path() /
                ("bitexa-textio-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    // name is in the system's bytes, so tests can make names that are not UTF-8.
    std::wstring Write(const std::string& name, const std::string& bytes) const {
        const fs::path path = m_dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return Wide(path);
    }
    std::wstring PathOf(const std::string& name) const { return Wide(m_dir / name); }
    static std::wstring Wide(const fs::path& path) { return PathFromNative(path.native()); }

    SentenceList Load(const std::wstring& path, int mode, SentenceList list = {}) {
        LoadSentenceList(path, mode, list,
                         [this](const std::wstring& text, const std::wstring& caption) {
                             m_reports.emplace_back(text, caption);
                         });
        return list;
    }

    fs::path m_dir;
    Reports m_reports;
};

std::string AsBytes(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

// A byte-order mark and then the units, in the order asked for.
std::string Utf16Bytes(std::u16string_view units, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST_F(TextLoaderTest, EmptyPathLeavesTheListAsItWas) {
    EXPECT_EQ(Load(L"", 0, {L"", L"kept"}), (SentenceList{L"", L"kept"}));
    EXPECT_EQ(Load(L"", 1), SentenceList{}); // not even the leading entry
    EXPECT_TRUE(m_reports.empty());
}

TEST(HasTxtExtension, LooksAtTheLastPathComponentOnly) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"a.txt", true},     {L"/d/a.TXT", true}, {L"a.Txt", true},      {L"x.y.tXt", true},
        {L".txt", true},      {L"a.text", false},  {L"a.txt.bak", false}, {L"a", false},
        {L"/d.txt/a", false}, {L"d.txt/", false},  {L"a.", false},        {L"a.txt ", false},
        {L"a.ｔｘｔ", false}, {L"a.tx", false},
    };
    for (const auto& [path, accepted] : cases) {
        EXPECT_EQ(HasTxtExtension(path), accepted) << testing::PrintToString(std::wstring(path));
    }
}

TEST_F(TextLoaderTest, RefusedNamesAreReportedAndLeaveOnlyTheLeadingEntry) {
    for (const std::string name : {"notes.text", "notes.txt.bak", "notes", "100%s.doc"}) {
        m_reports.clear();
        const std::wstring path = Write(name, "would be read");
        EXPECT_EQ(Load(path, 0, {L"", L"old"}), SentenceList{L""}) << name;
        const Reports expected{
            {path + L" は読み込み可能なフォーマットでないので読み込めませんでした。", L"エラー"}};
        EXPECT_EQ(m_reports, expected) << name;
    }
}

TEST_F(TextLoaderTest, DotInADirectoryNameIsNoExtension) {
    fs::create_directories(m_dir / "folder.txt");
    const std::wstring path = Write("folder.txt/readme", "text");
    EXPECT_EQ(Load(path, 0), SentenceList{L""});
    EXPECT_EQ(m_reports.size(), 1u);
}

TEST_F(TextLoaderTest, AcceptsTheExtensionInAnyLetterCase) {
    for (const std::string name : {"upper.TXT", "mixed.Txt"}) {
        EXPECT_EQ(Load(Write(name, "line"), 0), (SentenceList{L"", L"line"})) << name;
    }
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(TextLoaderTest, FilesWithoutTextGiveOnlyTheLeadingEntrySilently) {
    const std::wstring paths[] = {
        Write("empty.txt", ""),
        Write("le-mark.txt", "\xFF\xFE"),
        Write("be-mark.txt", "\xFE\xFF"),
        Write("utf8-mark.txt", "\xEF\xBB\xBF"),
    };
    for (const std::wstring& path : paths) {
        EXPECT_EQ(Load(path, 0, {L"", L"old"}), SentenceList{L""}) << testing::PrintToString(path);
    }
    EXPECT_TRUE(m_reports.empty());
}

// An empty side from a file that could not be read would pass for an empty file: the user is
// told which file and why, and the side goes on without segments.
TEST_F(TextLoaderTest, FilesThatCannotBeReadAreReportedWithTheirReason) {
    fs::create_directories(m_dir / "folder.txt");
    ASSERT_EQ(::mkfifo((m_dir / "pipe.txt").c_str(), 0600), 0);
    const struct {
        std::wstring path;
        std::wstring reason;
    } cases[] = {
        {PathOf("missing.txt"), L"No such file or directory"},
        {PathOf("folder.txt"), L"Is a directory"},
        {PathOf("pipe.txt"), L"not a regular file"}, // must not wait for a writer
    };
    for (const auto& c : cases) {
        m_reports.clear();
        EXPECT_EQ(Load(c.path, 0, {L"", L"old"}), SentenceList{L""});
        const Reports expected{{c.path + L" を読み込めませんでした。\n" + c.reason, L"エラー"}};
        EXPECT_EQ(m_reports, expected) << testing::PrintToString(c.path);
    }
}

TEST_F(TextLoaderTest, ByteOrderMarksAreNotPartOfTheText) {
    const std::string utf16 = Utf16Bytes(u"A\r\nB", false); // FF FE, then A CR LF B
    const std::string utf8 = "\xEF\xBB\xBF" + AsBytes(u8"A\nB");
    EXPECT_EQ(Load(Write("le.txt", utf16), 0), (SentenceList{L"", L"A", L"B"}));
    EXPECT_EQ(Load(Write("u8.txt", utf8), 0), (SentenceList{L"", L"A", L"B"}));
}

TEST_F(TextLoaderTest, ModesOtherThanOneAndTwoOnlyCutLines) {
    const std::wstring path =
        Write("plain.txt", AsBytes(u8"  今日は晴れ。明日は雨。\r\nOne. Two.\t"));
    const SentenceList lines{L"", L"  今日は晴れ。明日は雨。", L"One. Two.\t"};
    for (const int mode : {0, -1, 3}) {
        EXPECT_EQ(Load(path, mode), lines) << mode;
    }
}

TEST_F(TextLoaderTest, ModesOneAndTwoApplyTheSentenceRules) {
    EXPECT_EQ(Load(Write("ja.txt", AsBytes(u8"今日は晴れ。明日は雨。")), 1),
              (SentenceList{L"", L"今日は晴れ。", L"明日は雨。"}));
    EXPECT_EQ(Load(Write("en.txt", "One. Two."), 2), (SentenceList{L"", L"One. ", L"Two."}));
}

TEST_F(TextLoaderTest, OpensNamesInJapaneseAndNamesThatAreNotUtf8) {
    const std::wstring japanese = Wide(m_dir) + L"/日本語の名前.txt";
    std::ofstream(PathToNative(japanese), std::ios::binary) << "ja";
    EXPECT_EQ(Load(japanese, 0), (SentenceList{L"", L"ja"}));
    EXPECT_EQ(Load(Write("latin1-caf\xE9.txt", "latin"), 0), (SentenceList{L"", L"latin"}));
}

TEST_F(TextLoaderTest, NulInAPathOpensNothing) {
    std::wstring path = Write("real.txt", "must not be read");
    path += std::wstring(1, L'\0') + L"/other.txt";
    EXPECT_EQ(Load(path, 0), SentenceList{L""});
}

// The same text in every encoding the detector knows: each file must be recognised as what it
// is and give the same list. The Japanese fixtures were made with iconv (CP932, EUC-JP, and
// ISO-2022-JP-3 for its ESC ( I half-width katakana) from the UTF-8 text.
constexpr std::u8string_view JapaneseText =
    u8"日本語のテキストです。\r\nSecond line, C:\\dir\\file.\r\n「かぎ括弧」と、読点。\n"
    u8"ｱｲｳｴｵ half-width\n\n最後の行";
constexpr std::u16string_view JapaneseUnits =
    u"日本語のテキストです。\r\nSecond line, C:\\dir\\file.\r\n「かぎ括弧」と、読点。\n"
    u"ｱｲｳｴｵ half-width\n\n最後の行";
const SentenceList JapaneseLines{L"",
                                 L"日本語のテキストです。",
                                 L"Second line, C:\\dir\\file.",
                                 L"「かぎ括弧」と、読点。",
                                 L"ｱｲｳｴｵ half-width",
                                 L"",
                                 L"最後の行"};

// clang-format off
const std::string ShiftJisText =
    "\x93\xFA\x96{\x8C\xEA\x82\xCC\x83" "e\x83L\x83X\x83g\x82\xC5\x82\xB7\x81" "B\x0D\x0A"
    "Second line, C:\x5C" "dir\x5C" "file.\x0D\x0A\x81u\x82\xA9\x82\xAC\x8A\x87\x8C\xCA\x81"
    "v\x82\xC6\x81" "A\x93\xC7\x93_\x81" "B\x0A\xB1\xB2\xB3\xB4\xB5 half-width\x0A\x0A\x8D"
    "\xC5\x8C\xE3\x82\xCC\x8Ds";
const std::string EucJpText =
    "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8\xA4\xC7\xA4\xB9\xA1"
    "\xA3\x0D\x0ASecond line, C:\x5C" "dir\x5C" "file.\x0D\x0A\xA1\xD6\xA4\xAB\xA4\xAE\xB3"
    "\xE7\xB8\xCC\xA1\xD7\xA4\xC8\xA1\xA2\xC6\xC9\xC5\xC0\xA1\xA3\x0A\x8E\xB1\x8E\xB2\x8E"
    "\xB3\x8E\xB4\x8E\xB5 half-width\x0A\x0A\xBA\xC7\xB8\xE5\xA4\xCE\xB9\xD4";
const std::string Iso2022JpText =
    "\x1B$BF|K\x5C" "8l$N%F%-%9%H$G$9!#\x1B(B\x0D\x0ASecond line, C:\x5C" "dir\x5C" "file"
    ".\x0D\x0A\x1B$B!V$+$.3g8L!W$H!\x22" "FIE@!#\x1B(B\x0A\x1B(I12345\x1B(B half-width\x0A"
    "\x0A\x1B$B:G8e$N9T\x1B(B";
// clang-format on

struct EncodedFile {
    const char* what;
    std::string bytes;
    int codePage;
    SentenceList lines;
};

TEST_F(TextLoaderTest, EveryEncodingGivesTheSameListAsItsUtf8Twin) {
    using namespace CodePages;
    const EncodedFile files[] = {
        {"UTF-8", AsBytes(JapaneseText), Utf8, JapaneseLines},
        {"UTF-8 with mark", "\xEF\xBB\xBF" + AsBytes(JapaneseText), Utf8, JapaneseLines},
        {"UTF-16LE", Utf16Bytes(JapaneseUnits, false), Utf16Le, JapaneseLines},
        {"UTF-16BE", Utf16Bytes(JapaneseUnits, true), Utf16Be, JapaneseLines},
        {"Shift_JIS", ShiftJisText, ShiftJis, JapaneseLines},
        {"EUC-JP", EucJpText, EucJp, JapaneseLines},
        {"ISO-2022-JP", Iso2022JpText, Iso2022Jp, JapaneseLines},
        {"US-ASCII",
         "ASCII:\tC:\\dir\r\n\r\n~tilde\rlast\n",
         UsAscii,
         {L"", L"ASCII:\tC:\\dir", L"", L"~tilde", L"last"}},
    };
    for (const EncodedFile& file : files) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(file.bytes.data());
        EXPECT_EQ(DetectCodePage(bytes, file.bytes.size()).codePage, file.codePage) << file.what;
        EXPECT_EQ(Load(Write("encoded.txt", file.bytes), 0), file.lines) << file.what;
    }
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(TextLoaderTest, ReadFileBytesGivesTheWholeFileExactly) {
    std::string content;
    for (int i = 0; i < 200'000; ++i) {
        content += static_cast<char>(i * 7 % 256); // NUL and high bytes included
    }
    const std::vector<unsigned char> expected(content.begin(), content.end());
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(ReadFileBytes(Write("big.bin", content), bytes).ok());
    EXPECT_EQ(bytes, expected);
}

TEST_F(TextLoaderTest, ReadFileBytesReadsOnlyRegularFilesAndSaysWhy) {
    ASSERT_EQ(::mkfifo((m_dir / "pipe").c_str(), 0600), 0);
    const struct {
        std::wstring path;
        std::wstring reason;
    } cases[] = {
        {PathOf("missing"), L"No such file or directory"},
        {PathOf(""), L"Is a directory"},
        {PathOf("pipe"), L"not a regular file"},
        {L"/dev/zero", L"not a regular file"},
        {L"/dev/null", L"not a regular file"},
        {L"", L"No such file or directory"},
    };
    for (const auto& c : cases) {
        std::vector<unsigned char> bytes{'x'};
        const Status status = ReadFileBytes(c.path, bytes);
        EXPECT_EQ(status.kind, Status::Kind::CannotRead) << testing::PrintToString(c.path);
        EXPECT_EQ(status.reason, c.reason) << testing::PrintToString(c.path);
        EXPECT_EQ(status.path, c.path);
        EXPECT_TRUE(bytes.empty());
        EXPECT_EQ(CheckReadable(c.path).reason, c.reason);
    }
    // An empty file is read, and is empty: not a failure.
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(ReadFileBytes(Write("empty.txt", ""), bytes).ok());
    EXPECT_TRUE(bytes.empty());
}

TEST(ReadFileBytes, ReadsPastTheReportedSize) {
    // Files under /proc report a size of 0 and still have content.
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(ReadFileBytes(L"/proc/self/status", bytes).ok());
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.rfind("Name:", 0), 0u) << text;
}

} // namespace
} // namespace bitexa
