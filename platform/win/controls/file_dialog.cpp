// The common open and save dialogs as a file browser inside the main window:
// the folder list (".." first), the files of the current folder that match
// the selected filter entry, the name line, the filter shown beneath it, and
// OK and Cancel. A double-click (or Enter) on a folder opens it; a click on a
// file puts its name in the line, a double-click chooses it. OK takes the
// line: a folder name opens that folder, anything else is the file, with the
// default extension added when the name has none. OFN_FILEMUSTEXIST refuses
// a missing file and OFN_OVERWRITEPROMPT asks before an existing one is
// replaced. Names are shown and returned in the program's code page; files
// whose names have no Shift-JIS form are not listed. The result is the full
// path; Cancel (or a path longer than the buffer) gives 0 and an empty buffer.
#include <fnmatch.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/win/controls/control_input.h"
#include "platform/win/controls/controls.h"
#include "platform/win/controls/dialog_frame.h"
#include "platform/win/controls/system_classes.h"
#include "platform/win/platform.h"

namespace fs = std::filesystem;

namespace {

constexpr int WIDTH = 480, HEIGHT = 330;
constexpr int FOLDER_LABEL = 100, FOLDERS = 101, FILES = 102, NAME_LABEL = 103, NAME = 104, FILTER_LABEL = 105;

struct Browser {
    OPENFILENAMEA* record = nullptr;
    bool save = false;
    fs::path folder;
    std::string description;        // the filter entry in use
    std::vector<std::string> patterns;  // its patterns, UTF-8
    std::vector<std::string> folders;   // Shift-JIS, as listed
    std::vector<std::string> files;
};

Browser* gBrowser = nullptr;  // the browser open now (file dialogs do not nest)

std::string ToShown(const std::string& utf8, bool* representable) {
    size_t refused = 0;
    std::string text = Utf8ToShiftJis(utf8.c_str(), &refused);
    *representable = refused == 0;
    return text;
}

// The filter entry at a 1-based index (0 counts as the first), its patterns
// split at ';'.
void ChooseFilter(Browser& b) {
    const char* at = b.record->lpstrFilter;
    const DWORD wanted = std::max<DWORD>(1, b.record->nFilterIndex);
    for (DWORD index = 1; at && *at; ++index) {
        const char* pattern = at + std::strlen(at) + 1;
        if (index == wanted || index == 1) {
            b.description = at;
            b.patterns.clear();
            const std::string list = ShiftJisToUtf8(pattern);
            for (size_t start = 0; start <= list.size();) {
                const size_t end = std::min(list.find(';', start), list.size());
                if (end > start) b.patterns.push_back(list.substr(start, end - start));
                start = end + 1;
            }
        }
        if (index == wanted || !*pattern) break;
        at = pattern + std::strlen(pattern) + 1;
    }
    if (b.patterns.empty()) b.patterns.push_back("*");
}

bool MatchesFilter(const Browser& b, const std::string& name) {
    for (const std::string& pattern : b.patterns)
        if (fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0) return true;
    return false;
}

void FillList(HWND list, const std::vector<std::string>& rows) {
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& row : rows) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
}

void ReadFolder(HWND dialog, Browser& b) {
    b.folders = {".."};
    b.files.clear();
    std::error_code error;
    std::vector<std::string> folders, files;
    for (const fs::directory_entry& entry : fs::directory_iterator(b.folder, error)) {
        bool representable = false;
        const std::string shown = ToShown(entry.path().filename().string(), &representable);
        if (!representable) continue;
        std::error_code kind;
        if (entry.is_directory(kind)) folders.push_back(shown);
        else if (MatchesFilter(b, entry.path().filename().string())) files.push_back(shown);
    }
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());
    b.folders.insert(b.folders.end(), folders.begin(), folders.end());
    b.files = files;
    FillList(GetDlgItem(dialog, FOLDERS), b.folders);
    FillList(GetDlgItem(dialog, FILES), b.files);
    bool representable = false;
    SetDlgItemTextA(dialog, FOLDER_LABEL, ToShown(b.folder.string(), &representable).c_str());
}

fs::path FromShown(const Browser& b, const std::string& name) {
    return (b.folder / ShiftJisToUtf8(name.c_str())).lexically_normal();
}

void OpenFolder(HWND dialog, Browser& b, const fs::path& folder) {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(folder, error);
    if (!error) b.folder = canonical;
    ReadFolder(dialog, b);
}

void Finish(HWND dialog, Browser& b, const fs::path& file) {
    bool representable = false;
    const std::string path = ToShown(file.string(), &representable);
    OPENFILENAMEA& r = *b.record;
    if (!representable || path.size() + 1 > r.nMaxFile) {
        EndDialog(dialog, FALSE);
        return;
    }
    std::memcpy(r.lpstrFile, path.c_str(), path.size() + 1);
    const size_t slash = path.rfind('/'), dot = path.rfind('.');
    r.nFileOffset = static_cast<WORD>(slash + 1);
    r.nFileExtension = static_cast<WORD>(dot != std::string::npos && dot > slash ? dot + 1 : path.size());
    EndDialog(dialog, TRUE);
}

void Accept(HWND dialog, Browser& b) {
    char name[1024] = {};
    GetDlgItemTextA(dialog, NAME, name, sizeof name);
    if (!name[0]) return;
    fs::path file = FromShown(b, name);
    std::error_code error;
    if (fs::is_directory(file, error)) {
        SetDlgItemTextA(dialog, NAME, "");
        return OpenFolder(dialog, b, file);
    }
    const std::string base = file.filename().string();
    if (b.record->lpstrDefExt && *b.record->lpstrDefExt && base.find('.') == std::string::npos)
        file += "." + ShiftJisToUtf8(b.record->lpstrDefExt);
    const bool exists = fs::exists(file, error);
    bool representable = false;
    const std::string shown = ToShown(file.filename().string(), &representable);
    if ((b.record->Flags & OFN_FILEMUSTEXIST) && !exists) {
        MessageBoxA(dialog, (shown + "\nファイルが見つかりません。\nファイル名を確認してください。").c_str(),
                    b.save ? "名前を付けて保存" : "ファイルを開く", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if ((b.record->Flags & OFN_OVERWRITEPROMPT) && exists &&
        MessageBoxA(dialog, (shown + " は既に存在します。\n上書きしますか？").c_str(), "名前を付けて保存",
                    MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    Finish(dialog, b, file);
}

// The row a list answers for its current selection, or empty.
std::string SelectedRow(HWND dialog, int id, const std::vector<std::string>& rows) {
    const LRESULT row = SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0);
    return row >= 0 && static_cast<size_t>(row) < rows.size() ? rows[row] : std::string();
}

INT_PTR BrowserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND || !gBrowser) return 0;
    Browser& b = *gBrowser;
    const WORD id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == FOLDERS && code == LBN_DBLCLK) {
        const std::string folder = SelectedRow(dialog, FOLDERS, b.folders);
        if (!folder.empty()) OpenFolder(dialog, b, FromShown(b, folder));
    } else if (id == FILES && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
        SetDlgItemTextA(dialog, NAME, SelectedRow(dialog, FILES, b.files).c_str());
        if (code == LBN_DBLCLK) Accept(dialog, b);
    } else if (id == IDOK) {
        // Enter on the folder list opens the folder; anywhere else it is OK.
        if (GetFocus() == GetDlgItem(dialog, FOLDERS)) return BrowserProc(dialog, WM_COMMAND, MAKEWPARAM(FOLDERS, LBN_DBLCLK), 0);
        Accept(dialog, b);
    } else if (id == IDCANCEL) {
        EndDialog(dialog, FALSE);
    }
    return 1;
}

HWND Child(HWND dialog, const char* className, const char* text, DWORD style, int x, int y, int width, int height, int id) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, dialog,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

HWND CreateBrowser(const Browser& b, HWND owner) {
    RECT client{0, 0, 640, 480};
    GetClientRect(owner, &client);
    const int x = std::max(0, (client.right - WIDTH) / 2), y = std::max(0, (client.bottom - HEIGHT) / 2);
    HWND dialog = CreateWindowExA(0, DIALOG_CLASS, b.save ? "名前を付けて保存" : "ファイルを開く",
                                  WS_POPUP | WS_VISIBLE | DS_SYSMODAL, x, y, WIDTH, HEIGHT, owner, nullptr, nullptr,
                                  nullptr);
    if (!dialog) return nullptr;
    AttachDialogProc(dialog, BrowserProc);
    Child(dialog, "STATIC", "", 0, 8, 26, WIDTH - 16, 18, FOLDER_LABEL);
    Child(dialog, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | WS_TABSTOP, 8, 48, 180, 200, FOLDERS);
    Child(dialog, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | WS_TABSTOP, 196, 48, WIDTH - 204, 200, FILES);
    Child(dialog, "STATIC", "ファイル名:", 0, 8, 260, 88, 18, NAME_LABEL);
    Child(dialog, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 96, 258, WIDTH - 200, 22, NAME);
    Child(dialog, "STATIC", b.description.c_str(), 0, 96, 290, WIDTH - 200, 18, FILTER_LABEL);
    Child(dialog, "BUTTON", b.save ? "保存" : "開く", BS_DEFPUSHBUTTON | WS_TABSTOP, WIDTH - 96, 256, 88, 26, IDOK);
    Child(dialog, "BUTTON", "キャンセル", WS_TABSTOP, WIDTH - 96, 290, 88, 26, IDCANCEL);
    return dialog;
}

BOOL RunFileDialog(OPENFILENAMEA* record, bool save) {
    if (!record || !record->lpstrFile || record->nMaxFile == 0 || gBrowser ||
        (record->lStructSize != OPENFILENAME_SIZE_VERSION_400A && record->lStructSize != sizeof(OPENFILENAMEA)))
        return FALSE;
    HWND owner = record->hwndOwner && IsLiveWindow(record->hwndOwner) ? record->hwndOwner : MainWindow();
    if (!owner) return FALSE;
    Browser b;
    b.record = record;
    b.save = save;
    std::error_code error;
    b.folder = record->lpstrInitialDir ? fs::path(ShiftJisToUtf8(record->lpstrInitialDir)) : fs::current_path(error);
    b.folder = fs::weakly_canonical(b.folder, error);
    ChooseFilter(b);
    record->lpstrFile[0] = '\0';
    HWND dialog = CreateBrowser(b, owner);
    if (!dialog) return FALSE;
    gBrowser = &b;
    ReadFolder(dialog, b);
    SetFocus(GetDlgItem(dialog, NAME));
    const INT_PTR result = RunModalDialog(dialog);
    gBrowser = nullptr;
    if (result != TRUE) record->lpstrFile[0] = '\0';
    return result == TRUE ? TRUE : FALSE;
}

}  // namespace

BOOL GetOpenFileNameA(OPENFILENAMEA* record) {
    TraceCall("GetOpenFileNameA");
    return RunFileDialog(record, false);
}

BOOL GetSaveFileNameA(OPENFILENAMEA* record) {
    TraceCall("GetSaveFileNameA");
    return RunFileDialog(record, true);
}
