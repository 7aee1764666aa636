#pragma once
// The modal editor of a stored picture or music list: the list is loaded
// from its key when the dialog opens and written back on OK; Cancel leaves
// the key alone. The picture list shows the selected picture in a preview
// decoded on a worker thread.
#include <windows.h>

#include <string>

#include "config/win32/file_list_request.h"

namespace cs {

struct FileListDialogSetup {
    std::string title;            // the caption; empty keeps the template's
    std::string add_files_text;   // button label and file dialog title; empty: "Add Files..." / "Add Files"
    std::string add_folder_text;  // button label; empty keeps "Add Directory..."
    std::string filter;           // label and pattern pairs, NUL-separated, ending with an extra NUL
    HKEY root = nullptr;          // none: nothing is loaded or saved
    std::string key_path;         // the list's key below root
    bool preview_available = false;
    PreviewDecoder decode;        // empty: DecodePreviewPicture
};

// What the settings dialog's two "Customize ... List..." buttons open.
FileListDialogSetup PictureListSetup();
FileListDialogSetup MusicListSetup();

// Runs the dialog (template IDD_FILE_LIST from the program's own module)
// owned by parent. True when the user pressed OK; the list is then saved,
// or a "Registry Error" box said why not.
bool RunFileListDialog(HWND parent, const FileListDialogSetup& setup);

}  // namespace cs
