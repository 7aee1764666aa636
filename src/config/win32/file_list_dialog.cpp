#include "config/win32/file_list_dialog.h"

#include <commctrl.h>
#include <cderr.h>
#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "base/utf8_text.h"
#include "config/file_list_entries.h"
#include "config/file_list_filters.h"
#include "config/preview_layout.h"
#include "config/settings_names.h"
#include "config/stored_file_list.h"
#include "config/win32/control_tip.h"
#include "config/win32/preview_worker.h"
#include "config/win32/registry_list_key.h"
#include "imaging/system_codecs.h"
#include "imaging/win32/dib_gdi.h"
#include "resource_ids.h"

namespace cs {
namespace {

// 0x41000: room for a few thousand names chosen at once.
constexpr DWORD kChosenFilesBufferSize = 266240;
constexpr int kEdgeGap = 12;

struct ControlTip {
    int id;
    const char* text;
};

constexpr ControlTip kTips[] = {
    {IDC_FILE_LIST_ADD_FOLDER, "Add a directory of files to the list."},
    {IDC_FILE_LIST_ADD_FILES, "Add single or multiple files to the list."},
    {IDC_FILE_LIST_REMOVE,
     "Remove all selected items in the list.  Removing items in the list will not remove them from your computer."},
    {IDC_FILE_LIST_REMOVE_ALL,
     "Remove all items in the list.  Removing items in the list will not remove them from your computer."},
    {IDC_FILE_LIST_MOVE_UP, "Move the selected items up in the list.  Items at the top of the list will appear first."},
    {IDC_FILE_LIST_MOVE_DOWN,
     "Move the selected items down in the list  Items at the bottom of the list will appear last."},
    {IDC_FILE_LIST_PREVIEW_SWITCH,
     "Show or hide the preview window.  The preview window shows the current file selected if only one is selected."},
    {IDOK, "When you are done editing your list, click OK to close the dialog and save your settings."},
    {IDCANCEL, "Click Cancel to exit the dialog without saving any changes you made to the list."},
};

// The system's own text for a registry failure, in the user's language.
void ShowRegistryError(SystemError error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        LANG_USER_DEFAULT, reinterpret_cast<char*>(&text), 0, nullptr);
    // A code the system cannot put into words still means the list was not
    // saved; the user hears of it either way.
    char fallback[64];
    if (length == 0 || !text) wsprintfA(fallback, "The list could not be saved (error %lu).", error);
    MessageBoxA(nullptr, length && text ? text : fallback, "Registry Error", MB_ICONINFORMATION);
    if (text) LocalFree(text);
}

class FileListDialog {
public:
    explicit FileListDialog(const FileListDialogSetup& setup) : setup_(setup) {
        request_ = std::make_shared<FileListRequest>();
        request_->decode = setup.decode ? setup.decode : PreviewDecoder(DecodePreviewPicture);
        preview_hidden_ = !setup.preview_available;
    }

    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(dialog, DWLP_USER, lparam);
            return reinterpret_cast<FileListDialog*>(lparam)->Open(dialog);
        }
        auto* self = reinterpret_cast<FileListDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
        return self ? self->Handle(message, wparam, lparam) : FALSE;
    }

private:
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }

    BOOL Open(HWND dialog) {
        dialog_ = dialog;
        list_ = Item(IDC_FILE_LIST_LIST);
        frame_ = Item(IDC_FILE_LIST_PREVIEW_FRAME);
        {
            FileListRequest::Lock lock(*request_);
            request_->dialog = dialog_;
            request_->frame = frame_;
        }
        AddColumn(0, "Name");
        AddColumn(1, "Folder");

        if (!setup_.title.empty()) SetWindowTextA(dialog_, setup_.title.c_str());
        if (!setup_.add_files_text.empty()) SetDlgItemTextA(dialog_, IDC_FILE_LIST_ADD_FILES, setup_.add_files_text.c_str());
        if (!setup_.add_folder_text.empty())
            SetDlgItemTextA(dialog_, IDC_FILE_LIST_ADD_FOLDER, setup_.add_folder_text.c_str());
        if (!setup_.preview_available) ShowWindow(Item(IDC_FILE_LIST_PREVIEW_SWITCH), SW_HIDE);
        SizeForPreview();
        ListView_SetExtendedListViewStyleEx(list_, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

        for (const auto& tip : kTips) ShowControlTip(Item(tip.id), tip.text);
        worker_ = StartPreviewWorker(request_);

        if (setup_.root) {
            if (const auto key = RegistryListKey::OpenForReading(setup_.root, setup_.key_path)) {
                for (auto& path : LoadFileList(*key)) Append(std::move(path));
                if (!entries_.empty()) SelectOnly(0);
            }
        }
        Refresh();
        return TRUE;
    }

    INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
        case WM_COMMAND:
            if (HIWORD(wparam) == BN_CLICKED) return Command(LOWORD(wparam));
            return FALSE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            if (header->hwndFrom == list_ && header->code == LVN_ITEMCHANGED && !filling_) {
                const auto* change = reinterpret_cast<const NMLISTVIEW*>(lparam);
                if (change->uChanged & LVIF_STATE) {
                    ReadSelection();
                    UpdateCountAndButtons();
                    UpdatePreview();
                }
            }
            return FALSE;
        }
        case kPreviewChangedMessage:
            UpdateInfoText();
            UpdateWindow(dialog_);
            return TRUE;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(dialog_, &paint);
            EndPaint(dialog_, &paint);
            PaintPreview();
            return TRUE;
        }
        case WM_HELP: {
            ShowContextHelp(*reinterpret_cast<const HELPINFO*>(lparam));
            return TRUE;
        }
        case WM_SETCURSOR:
            TrackContextHelp(reinterpret_cast<HWND>(wparam));
            return FALSE;
        case WM_CLOSE:
            Close(IDCANCEL);
            return TRUE;
        default:
            return FALSE;
        }
    }

    BOOL Command(int id) {
        switch (id) {
        case IDC_FILE_LIST_ADD_FILES: AddFiles(); break;
        case IDC_FILE_LIST_ADD_FOLDER: AddFolder(); break;
        case IDC_FILE_LIST_MOVE_UP: Reorder(MoveSelectedUp); break;
        case IDC_FILE_LIST_MOVE_DOWN: Reorder(MoveSelectedDown); break;
        case IDC_FILE_LIST_REMOVE: Reorder(RemoveSelected); break;
        case IDC_FILE_LIST_REMOVE_ALL: RemoveAll(); break;
        case IDC_FILE_LIST_PREVIEW_SWITCH: SwitchPreview(); break;
        case IDOK: Save(); Close(IDOK); break;
        case IDCANCEL: Close(IDCANCEL); break;
        default: return FALSE;
        }
        return TRUE;
    }

    void AddColumn(int index, const char* title) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(title);
        column.iSubItem = index;
        ListView_InsertColumn(list_, index, &column);
    }

    // The list view mirrors entries_; these keep the two in step.
    void Append(std::string path) {
        const EntryTexts texts = DisplayTexts(path);
        const int index = static_cast<int>(entries_.size());
        entries_.push_back({std::move(path), false});
        filling_ = true;
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = const_cast<char*>(texts.name.c_str());
        ListView_InsertItem(list_, &item);
        ListView_SetItemText(list_, index, 1, const_cast<char*>(texts.folder.c_str()));
        filling_ = false;
    }

    void Refill() {
        filling_ = true;
        ListView_DeleteAllItems(list_);
        filling_ = false;
        auto entries = std::move(entries_);
        entries_.clear();
        for (auto& entry : entries) Append(std::move(entry.path));
        filling_ = true;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            entries_[i].selected = entries[i].selected;
            if (entries[i].selected) ListView_SetItemState(list_, static_cast<int>(i), LVIS_SELECTED, LVIS_SELECTED);
        }
        filling_ = false;
    }

    void ReadSelection() {
        for (std::size_t i = 0; i < entries_.size(); ++i)
            entries_[i].selected = ListView_GetItemState(list_, static_cast<int>(i), LVIS_SELECTED) != 0;
    }

    void SelectOnly(std::size_t index) {
        ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list_, static_cast<int>(index), LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list_, static_cast<int>(index), FALSE);
        ReadSelection();
    }

    std::vector<std::size_t> Selected() const {
        std::vector<std::size_t> selected;
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].selected) selected.push_back(i);
        return selected;
    }

    void Refresh() {
        ListView_SetColumnWidth(list_, 0, LVSCW_AUTOSIZE_USEHEADER);
        ListView_SetColumnWidth(list_, 1, LVSCW_AUTOSIZE_USEHEADER);
        UpdateCountAndButtons();
        UpdatePreview();
    }

    void UpdateCountAndButtons() {
        SetDlgItemTextA(dialog_, IDC_FILE_LIST_COUNT, CountText(entries_.size()).c_str());
        const auto selected = Selected();
        const bool any = !selected.empty();
        const bool one = selected.size() == 1;
        EnableWindow(Item(IDC_FILE_LIST_MOVE_UP), any && !(one && selected[0] == 0));
        EnableWindow(Item(IDC_FILE_LIST_MOVE_DOWN), any && !(one && selected[0] + 1 == entries_.size()));
        EnableWindow(Item(IDC_FILE_LIST_REMOVE), any);
        EnableWindow(Item(IDC_FILE_LIST_REMOVE_ALL), any);
    }

    void UpdatePreview() {
        const auto selected = Selected();
        if (selected.size() == 1 && !preview_hidden_ && IsFileEntry(entries_[selected[0]].path)) {
            const std::string& path = entries_[selected[0]].path;
            bool shown = false;
            {
                // A path already requested is not asked for again: the
                // list reports several changes for one click, and a picture
                // that failed would otherwise be decoded again for each.
                FileListRequest::Lock lock(*request_);
                shown = request_->shown_path == path;
                if (!shown && request_->requested_path != path) {
                    request_->requested_path = path;
                    request_->failure_text.clear();
                    SetEvent(request_->request_event);
                }
            }
            // The picture on show may have moved: its item number changes.
            if (shown) UpdateInfoText();
            return;
        }
        std::unique_ptr<DibBitmap> released;
        {
            // With the requested path gone, a decode still running is
            // dropped when it ends instead of showing a picture for a
            // selection the user has left.
            FileListRequest::Lock lock(*request_);
            released = std::move(request_->preview);
            request_->shown_path.clear();
            request_->requested_path.clear();
            request_->failure_text.clear();
        }
        UpdateInfoText();
        InvalidateRect(dialog_, nullptr, FALSE);
    }

    void UpdateInfoText() {
        const auto selected = Selected();
        const int item = selected.size() == 1 ? static_cast<int>(selected[0]) + 1 : 0;
        std::string text;
        {
            FileListRequest::Lock lock(*request_);
            if (request_->preview)
                text = PreviewInfoText(item, static_cast<int>(entries_.size()), request_->shown_path,
                                       request_->picture_width, request_->picture_height);
            else
                text = request_->failure_text;
        }
        SetDlgItemTextA(dialog_, IDC_FILE_LIST_INFO, text.c_str());
    }

    void PaintPreview() {
        const HDC dc = GetDC(frame_);
        if (!dc) return;
        RECT area;
        GetClientRect(frame_, &area);
        // The frame's own black border stays; the picture and the fill go
        // inside it.
        RECT inside = area;
        InflateRect(&inside, -1, -1);
        IntersectClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
        {
            FileListRequest::Lock lock(*request_);
            if (request_->preview && !preview_hidden_) {
                const DibBitmap& picture = *request_->preview;
                win32::DrawDib(picture, dc, (area.right - picture.Width()) / 2, (area.bottom - picture.Height()) / 2);
            } else {
                FillRect(dc, &inside, GetSysColorBrush(COLOR_BTNFACE));
            }
        }
        ReleaseDC(frame_, dc);
    }

    void SizeForPreview() {
        RECT edge, window;
        GetWindowRect(Item(preview_hidden_ ? IDC_FILE_LIST_PREVIEW_SWITCH : IDC_FILE_LIST_PREVIEW_FRAME), &edge);
        GetWindowRect(dialog_, &window);
        SetWindowPos(dialog_, nullptr, 0, 0, edge.right + kEdgeGap - window.left, window.bottom - window.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void SwitchPreview() {
        preview_hidden_ = !preview_hidden_;
        ReadSelection();
        Refresh();
        SetDlgItemTextA(dialog_, IDC_FILE_LIST_PREVIEW_SWITCH, preview_hidden_ ? "Show Preview  >>" : "Hide Preview  <<");
        SizeForPreview();
    }

    // Paths too long for the stored list are refused with a word to the
    // user; the list readers could not take them back.
    bool Fits(const std::string& path) const {
        if (Utf16Length(path) <= kMaxPathChars) return true;
        const std::string text = "This path is longer than the list can keep (259 characters) and was not added:\n\n" + path;
        MessageBoxA(dialog_, text.c_str(), "Path Too Long", MB_ICONWARNING);
        return false;
    }

    void AddFiles() {
        const std::unique_ptr<char[]> buffer(new (std::nothrow) char[kChosenFilesBufferSize]());
        if (!buffer) {
            MessageBoxA(dialog_, "Could not allocate memory for file dialog.", "ERROR", MB_ICONWARNING);
            return;
        }
        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = dialog_;
        dialog.lpstrFilter = setup_.filter.empty() ? nullptr : setup_.filter.c_str();
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = buffer.get();
        dialog.nMaxFile = kChosenFilesBufferSize;
        dialog.lpstrTitle = setup_.add_files_text.empty() ? "Add Files" : setup_.add_files_text.c_str();
        dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        if (!GetOpenFileNameA(&dialog)) {
            if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
                MessageBoxA(dialog_, "Too many files were chosen at once for the file dialog to name them all.  "
                            "Please add them in smaller groups.", "ERROR", MB_ICONWARNING);
            return;
        }
        AddChosenFiles(ChosenFiles(buffer.get(), kChosenFilesBufferSize));
    }

    void AddChosenFiles(const std::vector<std::string>& files) {
        ReadSelection();
        if (files.size() == 1) {
            if (!Fits(files[0])) return;
            Append(files[0]);
            SelectOnly(entries_.size() - 1);
            SetFocus(list_);
        } else {
            for (const auto& file : files) {
                if (!Fits(file)) continue;
                Append(file);
                ListView_EnsureVisible(list_, static_cast<int>(entries_.size() - 1), FALSE);
            }
        }
        Refresh();
    }

    void AddFolder() {
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        char display_name[MAX_PATH] = {};
        BROWSEINFOA browse{};
        browse.hwndOwner = dialog_;
        browse.pszDisplayName = display_name;
        browse.lpszTitle = setup_.title.c_str();
        browse.ulFlags = BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
        std::optional<std::string> folder;
        if (LPITEMIDLIST chosen = SHBrowseForFolderA(&browse)) {
            char path[MAX_PATH] = {};
            if (SHGetPathFromIDListA(chosen, path) && path[0]) folder = path;
            CoTaskMemFree(chosen);
        }
        if (SUCCEEDED(com)) CoUninitialize();
        if (!folder) return;

        const std::string question = "Add the folders inside \"" + *folder +
                                     "\" too?\n\nYes: the files in this folder and in every folder below it.\n"
                                     "No: only the files directly in this folder.";
        const bool with_subfolders =
            MessageBoxA(dialog_, question.c_str(), "Include Subfolders", MB_YESNO | MB_ICONQUESTION) == IDYES;
        const std::string entry = FolderEntryPath(*folder, with_subfolders);
        if (!Fits(entry)) return;
        Append(entry);
        SelectOnly(entries_.size() - 1);
        Refresh();
    }

    template <typename Operation>
    void Reorder(Operation operation) {
        ReadSelection();
        const std::optional<std::size_t> shown = operation(entries_);
        Refill();
        if (shown) ListView_EnsureVisible(list_, static_cast<int>(*shown), FALSE);
        Refresh();
    }

    void RemoveAll() {
        if (MessageBoxA(dialog_,
                        "Do you want to remove all the items in the list?  Doing so will not remove any files from "
                        "your computer.",
                        "Remove All List Items", MB_ICONWARNING | MB_YESNO) != IDYES)
            return;
        entries_.clear();
        Refill();
        Refresh();
    }

    void Save() {
        if (!setup_.root) return;
        std::unique_ptr<RegistryListKey> key;
        SystemError error = RegistryListKey::Create(setup_.root, setup_.key_path, key);
        if (!error) {
            std::vector<std::string> paths;
            for (const auto& entry : entries_) paths.push_back(entry.path);
            error = SaveFileList(*key, paths);
        }
        if (error) ShowRegistryError(error);
    }

    void Close(int result) {
        StopPreviewWorker(*request_, worker_);
        worker_ = nullptr;
        TrackContextHelp(nullptr);
        EndDialog(dialog_, result);
    }

    FileListDialogSetup setup_;
    std::shared_ptr<FileListRequest> request_;
    HANDLE worker_ = nullptr;
    HWND dialog_ = nullptr;
    HWND list_ = nullptr;
    HWND frame_ = nullptr;
    std::vector<FileListEntry> entries_;
    bool preview_hidden_ = false;
    bool filling_ = false;
};

FileListDialogSetup ListSetup(const std::string& list_name) {
    FileListDialogSetup setup;
    setup.root = HKEY_CURRENT_USER;
    setup.key_path = SettingsKeyPath() + "\\" + list_name;
    return setup;
}

}  // namespace

FileListDialogSetup PictureListSetup() {
    FileListDialogSetup setup = ListSetup(PictureListKeyName());
    setup.title = "Customize Picture List";
    setup.add_files_text = "Add Pictures...";
    setup.filter = PictureFileFilter(InstalledSystemFormats());
    setup.preview_available = true;
    return setup;
}

FileListDialogSetup MusicListSetup() {
    FileListDialogSetup setup = ListSetup(MusicListKeyName());
    setup.title = "Customize Music List";
    setup.add_files_text = "Add Music...";
    setup.filter = MusicFileFilter();
    return setup;
}

bool RunFileListDialog(HWND parent, const FileListDialogSetup& setup) {
    if (parent && !IsWindow(parent)) parent = nullptr;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    FileListDialog dialog(setup);
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FILE_LIST), parent,
                                           FileListDialog::Proc, reinterpret_cast<LPARAM>(&dialog));
    return result == IDOK;
}

}  // namespace cs
