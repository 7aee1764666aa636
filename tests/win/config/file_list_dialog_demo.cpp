// Opens the picture or the music list dialog on the saver's own stored
// lists, as the settings dialog's two buttons do: for the screenshots and
// the end-to-end test of the dialog. Exit status 0 after OK, 1 after Cancel.
#include <windows.h>

#include <cstring>

#include "config/win32/file_list_dialog.h"
#include "imaging/win32/wic_codecs.h"

int main(int argc, char** argv) {
    // As the saver does: its filters and preview know the system's formats.
    cs::InstallSystemCodecs(cs::MakeWicCodecs());
    const bool music = argc > 1 && std::strcmp(argv[1], "music") == 0;
    return cs::RunFileListDialog(nullptr, music ? cs::MusicListSetup() : cs::PictureListSetup()) ? 0 : 1;
}
