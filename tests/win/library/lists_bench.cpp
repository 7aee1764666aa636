// config_lists_bench ROOT [REPEATS]: times building the picture list from
// the folder tree below ROOT (a Windows path). ROOT's subfolders are the
// stored folder entries of the first case; the second case reaches the same
// files through the recursive fallback, with ROOT as the pictures folder.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/picture_lists.h"
#include "library/win32/folder_lister.h"
#include "config/memory_settings_store.h"
#include "config/settings_names.h"

namespace {

class RootAsPictures final : public cs::SpecialFolders {
public:
    explicit RootAsPictures(std::string root) : root_(std::move(root)) {}
    std::optional<std::string> FolderPath(int csidl) override {
        if (csidl == cs::kCsidlMyPictures) return root_;
        return std::nullopt;
    }

private:
    std::string root_;
};

double Seconds() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class Build>
void Time(const char* label, int repeats, Build&& build) {
    std::vector<double> ms;
    std::size_t count = 0;
    for (int i = 0; i < repeats; ++i) {
        cs::PathList list;
        const double start = Seconds();
        build(list);
        ms.push_back((Seconds() - start) * 1000.0);
        count = list.Count();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s %7zu files  median %8.1f ms  min %8.1f ms  (%d runs)\n", label, count, ms[ms.size() / 2],
                ms.front(), repeats);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: config_lists_bench ROOT [REPEATS]\n");
        return 2;
    }
    std::string root = argv[1];
    if (!root.empty() && root.back() == '\\') root.pop_back();
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    cs::Win32DirectoryLister lister;
    std::vector<cs::DirectoryEntry> top;
    if (!lister.List(root + "\\", top)) {
        std::fprintf(stderr, "cannot list %s\n", root.c_str());
        return 1;
    }
    cs::MemorySettingsStore settings;
    {
        auto list_key = settings.OpenSubkey(cs::PictureListKeyName(), true);
        int index = 0;
        for (const auto& entry : top) {
            if (!entry.is_folder || entry.name[0] == '.') continue;
            char name[32];
            std::snprintf(name, sizeof name, "%05d", index++);
            list_key->WriteString(name, root + "\\" + entry.name + "\\");
        }
    }
    cs::MemorySettingsStore nothing_stored;
    RootAsPictures special(root);

    Time("stored folder entries", repeats,
         [&](cs::PathList& list) { cs::BuildPictureList(list, settings, lister, special); });
    Time("recursive pictures-folder fallback", repeats,
         [&](cs::PathList& list) { cs::BuildPictureList(list, nothing_stored, lister, special); });
    return 0;
}
