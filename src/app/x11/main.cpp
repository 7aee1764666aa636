// The Linux program: a hack in XScreenSaver's manner. It reads its flags,
// finds its pictures, opens its window and turns the cube until it is told
// to stop.
#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/hack_options.h"
#include "imaging/auto_decoder.h"
#include "imaging/linux/pixbuf_decoder.h"
#include "app/x11/hack_run.h"
#include "app/x11/termination_signal.h"
#include "library/extension_list.h"
#include "library/list_completion.h"
#include "library/picture_folder_settings.h"
#include "library/posix/default_picture_folder.h"
#include "library/posix/directory_lister_posix.h"
#include "library/posix/file_shuffle_memory.h"
#include "scene/cube_scene.h"
#include "timing/frame_log.h"
// Last: X's macros.
#include "app/x11/x_display.h"

namespace {

constexpr char kProgram[] = "cubesaver";

bool IsFolder(const std::string& path) {
    struct stat info{};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace cs;
    Frames();  // the benchmarks' frame log times from here

    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const HackParse parsed = ParseHackOptions(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "%s: %s\n\n%s", kProgram, parsed.error.c_str(), HackUsage(kProgram).c_str());
        return 1;
    }
    const HackOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(HackUsage(kProgram).c_str(), stdout);
        return 0;
    }

    // Formats beyond the six through the system's loaders, and their files
    // in the listing.
    InstallSystemCodecs(MakePixbufCodecs());
    const ExtensionList extensions = PictureExtensions(InstalledSystemFormats());

    TerminationSignal signal;
    XDisplay display;
    std::string error;
    if (!display.Open(options, error)) {
        std::fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
        return 1;
    }

    // The folder and its subfolders, listed only as far as the first
    // picture before the cube starts; the loader lists the rest.
    const std::string folder =
        WithoutTrailingSlashes(options.pictures.empty() ? DefaultPictureFolder() : options.pictures);
    PosixDirectoryLister lister;
    PathList pictures;
    ListCompletion completion;
    if (folder.empty() || !IsFolder(folder)) {
        std::fprintf(stderr, "%s: no pictures folder '%s'; showing the built-in picture\n", kProgram,
                     folder.c_str());
    } else {
        std::shared_ptr<ShuffleMemory> memory;
        if (std::string file = DefaultShuffleFile(); !file.empty())
            memory = std::make_shared<FileShuffleMemory>(std::move(file));
        const std::string entry = folder == "/" ? std::string("/*") : folder + "/*";
        completion = BeginPictureList(
            std::make_unique<ListExpansion>(std::vector<std::string>{entry}, extensions,
                                            lister, nullptr),
            pictures, std::move(memory));
        if (pictures.Empty() && completion.rest->Done())
            std::fprintf(stderr, "%s: no pictures in '%s'; showing the built-in picture\n", kProgram, folder.c_str());
    }

    CubeScene scene;
    const GeneralSettings general = options.general;
    CubeSettings cube = options.cube;
    if (scene.Start(display.Handle(), false, cube, general, std::move(pictures), std::move(completion)) < 0) {
        std::fprintf(stderr, "%s: out of memory\n", kProgram);
        return 1;
    }
    display.Show();
    const int status = RunHack(display, scene, general, signal);
    scene.Shutdown();
    return status;
}
