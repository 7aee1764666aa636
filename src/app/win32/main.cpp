// Start-up: read the switch the system started us with, build the one
// application object and hand over to the mode.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <new>

#include "app/command_line.h"
#include "app/cube_saver_app.h"
#include "app/process_state.h"
#include "app/win32/configure_dialog.h"
#include "config/win32/registry_settings_store.h"
#include "diag/win32/crash_reporter.h"
#include "imaging/win32/wic_codecs.h"
#include "library/shuffle_memory.h"
#include "library/win32/folder_lister.h"
#include "library/win32/shell_folders.h"
#include "scene/cube_scene.h"
#include "scene/win32/media_control_window.h"
#include "timing/frame_log.h"
#include "app/win32/saver_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    using namespace cs;
    // Before anything else: whatever fails from here on gets a report.
    InstallCrashFilter();
    Frames();  // the benchmarks' frame log times from here
    InitCommonControls();

    ProcessState& process = Process();
    process.instance = instance;

    const CommandLine command = ParseArguments(SkipProgramName(GetCommandLineA()));
    process.mode = command.mode;
    SetCrashReportShownAtOnce(command.mode == ScreenMode::Configure);
    process.windowed_width = command.windowed_width;
    process.windowed_height = command.windowed_height;
    // Before any thread decodes: the lists, the dialogs and the loader ask
    // which pictures the system's codecs read.
    if (command.mode != ScreenMode::ChangePassword) InstallSystemCodecs(MakeWicCodecs());
    HWND parent = command.parent_is_foreground ? GetForegroundWindow()
                                               : reinterpret_cast<HWND>(command.parent_window);

    Win32DirectoryLister lister;
    Win32SpecialFolders special_folders;
    MediaControlWindow media;
    CubeScene* scene = new (std::nothrow) CubeScene();
    const auto shuffle_memory = std::make_shared<SettingsShuffleMemory>([] { return OpenSettingsKey(); });
    CubeSaverApp* app =
        scene ? new (std::nothrow) CubeSaverApp(ListSources{&lister, &special_folders, shuffle_memory,
                                                            InstalledSystemFormats()},
                                                scene, &media, [] { return std::make_unique<CubeScene>(); })
              : nullptr;
    if (!app) {
        delete scene;
        MessageBoxA(parent, "The main object could not be created.", "Out of memory", MB_OK);
        return E_OUTOFMEMORY;
    }
    process.app = app;

    switch (command.mode) {
    case ScreenMode::ChangePassword:
        ChangePassword(parent);
        break;
    case ScreenMode::Configure:
        ShowLastCrash();
        RunConfigureDialog(instance, parent, *app);
        break;
    case ScreenMode::Preview:
    case ScreenMode::Saver:
    case ScreenMode::Windowed:
        app->Run(parent, show_command);
        break;
    }

    process.app = nullptr;
    delete app;
    delete scene;
    return 0;
}
