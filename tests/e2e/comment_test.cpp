// The comment editors and the text-data windows driven from outside: a comment made for the
// next save and written into PNG and JPEG files, read back, edited and removed in place with
// only the comment changed and the old file in the recycle bin, a refused rewrite leaving the
// file as it was, the text chunks of a PNG file and a camera's Exif data copied as text.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/image/codec.h"
#include "core/image/jpeg_markers.h"
#include "core/image/png_chunk.h"
#include "core/image/png_text.h"
#include "tests/e2e/edit_fixture.h"

namespace pelio {
namespace {

using Bytes = std::vector<uint8_t>;
using edit_e2e::kWaitMs;
using e2e::ControlText;
using e2e::Eventually;
using edit_e2e::Narrow;
using test::ReadBytes;
using test::WriteBytes;

constexpr wchar_t kViewerClass[] = L"Pelio_vwin_class";
constexpr int kCommentEdit = 4010, kFileCommentEdit = 4110, kSaveButton = 4120;
constexpr int kPngTextList = 4210, kExifList = 4310, kCopyButton = 4320;

std::string Ansi(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string FileComment(const Bytes& file, bool png) {
    std::string text;
    if (png) {
        bool found = false;
        int error = 0;
        ReadPngComment(file, text, found, error);
    } else {
        ReadJpegComment(file, text);
    }
    return text;
}

// Where the comment lies in a file: its chunk or segment from start to end; empty when none.
struct Place {
    size_t at = 0, end = 0;
};
Place CommentPlace(const Bytes& file, bool png) {
    if (png) {
        static const std::string kHead = "tEXtComment";
        const auto hit = std::search(file.begin(), file.end(), kHead.begin(), kHead.end());
        if (hit == file.end()) return {};
        const size_t type = size_t(hit - file.begin());
        const size_t length = size_t(file[type - 4]) << 24 | size_t(file[type - 3]) << 16 | size_t(file[type - 2]) << 8 | file[type - 1];
        return {type - 4, type + 4 + length + 4};
    }
    Place place;
    WalkJpegMarkers(std::span<const uint8_t>(file), [&](const JpegSegment& s) {
        if (s.marker == 0xFE) place = {s.at, s.End()};
        return s.marker != 0xFE;
    });
    return place;
}

// Everything but the comment is the same in both files.
void ExpectOnlyCommentChanged(const Bytes& before, const Bytes& after, bool png) {
    const Place a = CommentPlace(before, png), b = CommentPlace(after, png);
    ASSERT_NE(a.end, 0u);
    const size_t bAt = b.end ? b.at : a.at, bEnd = b.end ? b.end : a.at;
    EXPECT_EQ(a.at, bAt);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + std::ptrdiff_t(a.at), after.begin()));
    ASSERT_EQ(before.size() - a.end, after.size() - bEnd);
    EXPECT_TRUE(std::equal(before.begin() + std::ptrdiff_t(a.end), before.end(), after.begin() + std::ptrdiff_t(bEnd)));
}

// The sample picture encoded by the program's own encoder, with a comment when not empty.
Bytes Encoded(SaveFormat format, const std::string& comment = {}) {
    test::SampleImage sample(64, 48, 24);
    VectorSink sink;
    SaveOptions options;
    options.settings.format = int(format);
    options.writeComment = !comment.empty();
    options.comment = comment;
    int error = 0;
    EXPECT_TRUE(FindEncoder(format)(sample.image, options, sink, error));
    return sink.bytes;
}

class Comments : public edit_e2e::EditWindow {
protected:
    // A dialog of the program with `caption`.
    HWND WaitDialog(const wchar_t* caption) {
        e2e::DialogInfo dialog;
        return e2e::WaitForDialog(pelio_.Id(), caption, kWaitMs, dialog) ? dialog.hwnd : nullptr;
    }
    void AnswerError(const wchar_t* text) {
        e2e::DialogInfo box;
        ASSERT_TRUE(e2e::WaitForDialog(pelio_.Id(), L"Error", kWaitMs, box));
        EXPECT_EQ(box.text, text);
        e2e::PressButton(box.hwnd, IDOK);
        ASSERT_TRUE(Eventually([&] { return !IsWindow(box.hwnd); }));
    }
    void Press(HWND dialog, int id) {
        e2e::PressButton(dialog, id);
        ASSERT_TRUE(Eventually([&] { return !IsWindow(dialog); }));
    }
    bool SwitchPressed() {
        HWND panel = GetDlgItem(GetDlgItem(edit_, 1020), 1024);
        return SendMessageW(panel, TB_ISBUTTONCHECKED, cmd::kCommentSwitch, 0) != 0;
    }
    // Pelio started in the Viewer window on `path`.
    void View(const std::wstring& path) {
        pelio_ = e2e::Launch(exe_, L"\"" + path + L"\"");
        viewer_ = e2e::WaitForWindow(kViewerClass, pelio_.Id(), kWaitMs);
        ASSERT_NE(viewer_, nullptr);
        const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
        ASSERT_TRUE(Eventually([&] { return edit_e2e::StartsWith(viewer_, name); }));
    }
    std::wstring Letters() {
        const std::wstring title = e2e::WindowText(viewer_);
        const size_t open = title.find(L"( ");
        if (open == std::wstring::npos) return L"?";
        std::wstring letters = title.substr(open + 2, title.find_first_of(L"0123456789", open) - open - 2);
        while (!letters.empty() && letters.back() == L' ') letters.pop_back();
        return letters;
    }
    // Command 5040 on the Viewer window: the dialog with the file's comment.
    HWND OpenFileComment(const std::wstring& shown) {
        PostMessageW(viewer_, WM_COMMAND, cmd::kComment, 0);
        HWND dialog = WaitDialog(L"コメント表示/編集");
        EXPECT_NE(dialog, nullptr);
        if (dialog) {
            EXPECT_EQ(ControlText(GetDlgItem(dialog, kFileCommentEdit)), shown);
        }
        return dialog;
    }
    void Type(HWND dialog, int id, const std::wstring& text) {
        SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
};

TEST_F(Comments, MadeForTheSaveWrittenReadBackEditedAndRemoved) {
    const std::wstring typed = L"コメント 1\r\n二行目 ｶﾅ";
    ASSERT_NO_FATAL_FAILURE(Start());
    ChooseFormat(1);
    // First press: the empty editor; an empty text leaves the switch off.
    PostMessageW(edit_, WM_COMMAND, cmd::kCommentSwitch, 0);
    HWND dialog = WaitDialog(L"コメント作成");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(GetDlgItem(dialog, kCommentEdit)), L"");
    ASSERT_NO_FATAL_FAILURE(Press(dialog, IDOK));
    EXPECT_FALSE(SwitchPressed());
    PostMessageW(edit_, WM_COMMAND, cmd::kCommentSwitch, 0);
    ASSERT_NE(dialog = WaitDialog(L"コメント作成"), nullptr);
    Type(dialog, kCommentEdit, typed);
    ASSERT_NO_FATAL_FAILURE(Press(dialog, IDOK));
    ASSERT_TRUE(Eventually([&] { return SwitchPressed(); }));
    // Pressed while on: off without the dialog, the text kept for the next time.
    PostMessageW(edit_, WM_COMMAND, cmd::kCommentSwitch, 0);
    ASSERT_TRUE(Eventually([&] { return !SwitchPressed(); }));
    e2e::DialogInfo none;
    EXPECT_FALSE(e2e::WaitForDialog(pelio_.Id(), nullptr, 500, none));
    PostMessageW(edit_, WM_COMMAND, cmd::kCommentSwitch, 0);
    ASSERT_NE(dialog = WaitDialog(L"コメント作成"), nullptr);
    EXPECT_EQ(ControlText(GetDlgItem(dialog, kCommentEdit)), typed);
    ASSERT_NO_FATAL_FAILURE(Press(dialog, IDOK));
    ASSERT_TRUE(Eventually([&] { return SwitchPressed(); }));

    const std::wstring png = dir_ / L"c.png", jpeg = dir_ / L"c.jpg";
    ASSERT_NO_FATAL_FAILURE(SaveAs(png));
    ChooseFormat(2);
    EXPECT_TRUE(SwitchPressed());
    ASSERT_NO_FATAL_FAILURE(SaveAs(jpeg));
    Close();
    EXPECT_EQ(FileComment(ReadBytes(png), true), Ansi(typed));
    EXPECT_EQ(FileComment(ReadBytes(jpeg), false), Ansi(typed));

    // PNG: read back, edited in place.
    ASSERT_NO_FATAL_FAILURE(View(png));
    EXPECT_EQ(Letters(), L"T");
    Bytes before = ReadBytes(png);
    ASSERT_NE(dialog = OpenFileComment(typed), nullptr);
    Type(dialog, kFileCommentEdit, L"書き換え\r\nedited");
    ASSERT_NO_FATAL_FAILURE(Press(dialog, kSaveButton));
    Bytes after = ReadBytes(png);
    EXPECT_EQ(FileComment(after, true), Ansi(L"書き換え\r\nedited"));
    ExpectOnlyCommentChanged(before, after, true);
    EXPECT_TRUE(test::RecycleBinHolds(L"c.png"));
    EXPECT_EQ(Letters(), L"T");
    // Removed: the text letter goes with the only text chunk.
    ASSERT_NE(dialog = OpenFileComment(L"書き換え\r\nedited"), nullptr);
    Type(dialog, kFileCommentEdit, L"");
    ASSERT_NO_FATAL_FAILURE(Press(dialog, kSaveButton));
    ExpectOnlyCommentChanged(after, ReadBytes(png), true);
    EXPECT_TRUE(Eventually([&] { return Letters().empty(); })) << Narrow(e2e::WindowText(viewer_));
    Close();

    // JPEG: the comment segment removed, the old file in the recycle bin.
    ASSERT_NO_FATAL_FAILURE(View(jpeg));
    EXPECT_EQ(Letters(), L"C");
    before = ReadBytes(jpeg);
    ASSERT_NE(dialog = OpenFileComment(typed), nullptr);
    Type(dialog, kFileCommentEdit, L"");
    ASSERT_NO_FATAL_FAILURE(Press(dialog, kSaveButton));
    after = ReadBytes(jpeg);
    EXPECT_EQ(CommentPlace(after, false).end, 0u);
    ExpectOnlyCommentChanged(before, after, false);
    EXPECT_TRUE(test::RecycleBinHolds(L"c.jpg"));
    EXPECT_TRUE(Eventually([&] { return Letters().empty(); })) << Narrow(e2e::WindowText(viewer_));
    Close();
}

TEST_F(Comments, RefusedRewriteLeavesTheFile) {
    const std::wstring png = dir_ / L"r.png";
    const Bytes before = Encoded(SaveFormat::Png, "keep");
    WriteBytes(png, before);
    const auto temps = edit_e2e::TempFiles();
    SetFileAttributesW(png.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_NO_FATAL_FAILURE(View(png));
    HWND dialog = OpenFileComment(L"keep");
    ASSERT_NE(dialog, nullptr);
    Type(dialog, kFileCommentEdit, L"lost?");
    e2e::PressButton(dialog, kSaveButton);
    ASSERT_NO_FATAL_FAILURE(AnswerError(L"ファイル作成に失敗しました。"));
    // The dialog stays with the text for another try.
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_EQ(ControlText(GetDlgItem(dialog, kFileCommentEdit)), L"lost?");
    ASSERT_NO_FATAL_FAILURE(Press(dialog, IDCANCEL));
    EXPECT_TRUE(ReadBytes(png) == before);
    // A file the reader no longer accepts is not rewritten: the reader's message.
    SetFileAttributesW(png.c_str(), FILE_ATTRIBUTE_NORMAL);
    Bytes broken = before;
    broken[29] ^= 1;  // the header's CRC
    WriteBytes(png, broken);
    ASSERT_NE(dialog = OpenFileComment(L"keep"), nullptr);
    Type(dialog, kFileCommentEdit, L"lost?");
    e2e::PressButton(dialog, kSaveButton);
    ASSERT_NO_FATAL_FAILURE(AnswerError(L"ファイル情報が不適切です。(CRC)"));
    ASSERT_NO_FATAL_FAILURE(Press(dialog, IDCANCEL));
    EXPECT_TRUE(ReadBytes(png) == broken);
    EXPECT_EQ(edit_e2e::TempFiles(), temps);
    EXPECT_EQ(Letters(), L"T");
    Close();
}

TEST_F(Comments, LosslessPreviewDroppedWhenTheSourceFileChanges) {
    const std::wstring jpeg = dir_ / L"l.jpg";
    WriteBytes(jpeg, Encoded(SaveFormat::Jpeg));
    ASSERT_NO_FATAL_FAILURE(View(jpeg));
    PostMessageW(viewer_, WM_KEYDOWN, VK_TAB, 1);
    PostMessageW(viewer_, WM_KEYUP, VK_TAB, 0xC0000001);
    ASSERT_TRUE(Eventually([&] {
        edit_ = e2e::FindTopWindow(edit_e2e::kEditClass, pelio_.Id());
        return edit_ && IsWindowVisible(edit_);
    }));
    ChooseFormat(5);
    PostMessageW(edit_, WM_COMMAND, cmd::kSavePreview, 0);
    HWND preview = FindWindowExW(edit_, nullptr, L"Pelio_sch2_class", nullptr);
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(preview) && e2e::WindowText(edit_).find(L" .... ") != std::wstring::npos; }));

    PostMessageW(edit_, WM_COMMAND, cmd::kComment, 0);
    HWND dialog = WaitDialog(L"コメント表示/編集");
    ASSERT_NE(dialog, nullptr);
    Type(dialog, kFileCommentEdit, L"new");
    ASSERT_NO_FATAL_FAILURE(Press(dialog, kSaveButton));
    // The image pane alone, the preview's size gone from the title, the comment letter in it.
    EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(preview); }));
    std::wstring title;
    EXPECT_TRUE(Eventually([&] {
        title = e2e::WindowText(edit_);
        return title.find(L" .... ") == std::wstring::npos && title.find(L"( C  ") != std::wstring::npos;
    })) << Narrow(title);
    EXPECT_EQ(FileComment(ReadBytes(jpeg), false), "new");
    Close();
}

// A PNG chunk inserted before IEND.
void InsertText(Bytes& file, const std::string& keyword, const std::string& text) {
    Bytes chunk(8);
    const uint32_t length = uint32_t(keyword.size() + 1 + text.size());
    for (int i = 0; i < 4; ++i) chunk[size_t(i)] = uint8_t(length >> (24 - 8 * i));
    std::memcpy(chunk.data() + 4, "tEXt", 4);
    chunk.insert(chunk.end(), keyword.begin(), keyword.end());
    chunk.push_back(0);
    chunk.insert(chunk.end(), text.begin(), text.end());
    const uint32_t crc = PngCrc(chunk.data() + 4, chunk.size() - 4);
    for (int i = 0; i < 4; ++i) chunk.push_back(uint8_t(crc >> (24 - 8 * i)));
    file.insert(file.end() - 12, chunk.begin(), chunk.end());
}

TEST_F(Comments, PngTextChunksListed) {
    Bytes file = Encoded(SaveFormat::Png);
    InsertText(file, "Title", "Sample");
    InsertText(file, "Author", Ansi(L"山田"));
    InsertText(file, "Comment", "one\ntwo");
    const std::wstring path = dir_ / L"t.png";
    WriteBytes(path, file);

    ASSERT_NO_FATAL_FAILURE(View(path));
    PostMessageW(viewer_, WM_COMMAND, cmd::kTextData, 0);
    HWND dialog = WaitDialog(L"PNG テキストデータ");
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, kPngTextList);
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
    const std::wstring expected[3][2] = {{L"Title", L"Sample"}, {L"Author", L"山田"}, {L"Comment", L"one\ntwo"}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 2; ++column)
            EXPECT_EQ(e2e::ListViewText(list, row, column), expected[row][column]) << row << "," << column;
    ASSERT_NO_FATAL_FAILURE(Press(dialog, IDOK));
    Close();
}

TEST_F(Comments, CameraExifShownAndCopied) {
    const std::wstring camera = e2e::WindowsPathOf(PELIO_TESTDATA_UNIX_DIR "/exif/Canon_40D.jpg");
    if (!test::PathExists(camera)) GTEST_SKIP() << "no camera pictures: ../shared/testdata is absent";
    const std::wstring path = dir_ / L"Canon_40D.jpg";
    ASSERT_TRUE(CopyFileW(camera.c_str(), path.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(View(path));
    EXPECT_EQ(Letters(), L"E");
    PostMessageW(viewer_, WM_COMMAND, cmd::kTextData, 0);
    HWND dialog = WaitDialog(L"Exif 撮影データ");
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, kExifList);
    const std::wstring rows[12][2] = {
        {L"メーカー", L"Canon"},      {L"機種", L"Canon EOS 40D"},       {L"シャッター", L"1/160秒"},
        {L"絞り値", L"7.1"},          {L"露出制御", L"マニュアル"},      {L"ISO感度", L"100"},
        {L"露出補正", L"0.0"},        {L"測光方式", L"分割測光"},        {L"フラッシュ", L"ON"},
        {L"焦点距離", L"135.0mm"},    {L"開放Ｆ値", L""},                {L"撮影日時", L"2008:05:30 15:56:01"},
    };
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 12);
    std::wstring copied;
    for (int row = 0; row < 12; ++row) {
        EXPECT_EQ(e2e::ListViewText(list, row, 0), rows[row][0]) << row;
        EXPECT_EQ(e2e::ListViewText(list, row, 1), rows[row][1]) << row;
        copied += rows[row][0] + L":" + rows[row][1] + L"\n";
    }
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    e2e::PressButton(dialog, kCopyButton);
    // Watched without opening the clipboard, which would keep the program from it.
    ASSERT_TRUE(Eventually([&] { return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }));
    EXPECT_EQ(e2e::ClipboardText(), copied);
    ASSERT_NO_FATAL_FAILURE(Press(dialog, IDOK));
    Close();
}

}  // namespace
}  // namespace pelio
