#include <gtest/gtest.h>

#include "library/picture_folder_settings.h"

namespace cs {
namespace {

TEST(PictureFolderSettings, ImageDirectoryOfXScreenSaversSettings) {
    const std::string text = "mode:\t\trandom\nimageDirectory:\t~/Photos/  \ngrabDesktopImages:\tFalse\n";
    EXPECT_EQ(ImageDirectorySetting(text, "/home/ann"), "/home/ann/Photos");
    EXPECT_EQ(ImageDirectorySetting("imageDirectory: /srv/pics\r\n", "/home/ann"), "/srv/pics");
    EXPECT_EQ(ImageDirectorySetting("imageDirectory:\t~\n", "/home/ann"), "/home/ann");
    // A name that only begins with ~ is someone else's home: left alone.
    EXPECT_EQ(ImageDirectorySetting("imageDirectory: ~bob/p\n", "/home/ann"), "~bob/p");
    EXPECT_FALSE(ImageDirectorySetting("imageDirectory:\t\nmode: one\n", "/home/ann"));
    EXPECT_FALSE(ImageDirectorySetting("textFile: /x\n", "/home/ann"));
    EXPECT_FALSE(ImageDirectorySetting("", "/home/ann"));
}

TEST(PictureFolderSettings, DesktopPicturesFolder) {
    const std::string dirs = "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    EXPECT_EQ(XdgPicturesFolder(dirs, "/home/ann"), "/home/ann/Bilder");
    EXPECT_EQ(XdgPicturesFolder("XDG_PICTURES_DIR=\"/data/photos/\"", "/home/ann"), "/data/photos");
    // The home folder itself means the folder is switched off.
    EXPECT_FALSE(XdgPicturesFolder("XDG_PICTURES_DIR=\"$HOME/\"\n", "/home/ann"));
    EXPECT_FALSE(XdgPicturesFolder("XDG_PICTURES_DIR=\"relative\"\n", "/home/ann"));
    EXPECT_FALSE(XdgPicturesFolder(dirs.substr(0, dirs.find("XDG_PICTURES")), "/home/ann"));
}

}  // namespace
}  // namespace cs
