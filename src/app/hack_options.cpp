#include "app/hack_options.h"

#include <charconv>
#include <utility>

namespace cs {
namespace {

constexpr int kShortestPeriod = 1;
constexpr int kLongestPeriod = 600;

template <typename T>
struct Named {
    std::string_view name;
    T value;
};

constexpr Named<CubeStyle> kStyles[] = {
    {"huge", CubeStyle::Huge},         {"large", CubeStyle::Large},       {"medium", CubeStyle::Medium},
    {"small", CubeStyle::Small},       {"tiny", CubeStyle::Tiny},         {"zooming", CubeStyle::Zooming},
    {"bouncing", CubeStyle::Bouncing}, {"bouncing-big", CubeStyle::BouncingBig},
};
constexpr Named<BackgroundKind> kBackgrounds[] = {
    {"solid", BackgroundKind::SolidColor}, {"stars", BackgroundKind::StarField}, {"picture", BackgroundKind::FirstPicture}};
constexpr Named<GlassKind> kGlasses[] = {
    {"none", GlassKind::Disabled}, {"sky", GlassKind::SkyBlue}, {"chrome", GlassKind::SilverChrome}};

template <typename T, std::size_t N>
std::optional<std::int32_t> Lookup(const Named<T> (&table)[N], std::string_view name) {
    for (const auto& entry : table)
        if (entry.name == name) return static_cast<std::int32_t>(entry.value);
    return std::nullopt;
}

template <typename T, std::size_t N>
std::string Choices(const Named<T> (&table)[N]) {
    std::string text;
    for (const auto& entry : table) {
        if (!text.empty()) text += '|';
        text += entry.name;
    }
    return text;
}

// Joins texts (also where GCC 12 at -O3 mistakes `"..." + std::string` for
// an overlapping copy).
template <typename... Parts>
std::string Join(const Parts&... parts) {
    std::string text;
    (text.append(parts), ...);
    return text;
}

std::optional<std::int32_t> ParsePeriod(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < kShortestPeriod || value > kLongestPeriod) return std::nullopt;
    return value;
}

// RRGGBB as the settings keep a colour: red in the low byte.
std::optional<std::int32_t> ParseColour(std::string_view text) {
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    if (text.size() != 6) return std::nullopt;
    std::uint32_t rgb = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), rgb, 16);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    const std::uint32_t red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    return static_cast<std::int32_t>(red | green << 8 | blue << 16);
}

}  // namespace

std::optional<std::uint32_t> ParseWindowId(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t id = 0;
    if (text.empty()) return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id, base);
    if (error != std::errc() || end != text.data() + text.size() || id == 0) return std::nullopt;
    return id;
}

HackParse ParseHackOptions(const std::vector<std::string_view>& arguments) {
    HackOptions options;
    const auto fail = [](std::string message) { return HackParse{std::nullopt, std::move(message)}; };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view given = arguments[i];
        std::string_view flag = given;
        if (flag.starts_with("--")) flag.remove_prefix(1);
        if (!flag.starts_with("-")) return fail(Join("unexpected argument '", given, "'"));
        flag.remove_prefix(1);

        // Flags on their own.
        if (flag == "root") options.target = HackTarget::Root;
        else if (flag == "window") options.target = HackTarget::OwnWindow;
        else if (flag == "names") options.cube.show_picture_names = 1;
        else if (flag == "clock") options.general.show_date_time = 1;
        else if (flag == "fps") options.general.show_frame_rate = 1;
        else if (flag == "shuffle") options.cube.randomize_pictures = 1;
        else if (flag == "no-shuffle") options.cube.randomize_pictures = 0;
        else if (flag == "help" || flag == "h") options.help = true;
        else {
            // Flags with a value.
            if (flag != "window-id" && flag != "pictures" && flag != "style" && flag != "show" && flag != "turn" &&
                flag != "background" && flag != "color" && flag != "glass")
                return fail(Join("unknown option '", given, "'"));
            if (i + 1 >= arguments.size()) return fail(Join("'", given, "' needs a value"));
            const std::string_view value = arguments[++i];
            const auto bad = [&](std::string_view expected) {
                return fail(Join("'", given, " ", value, "': expected ", expected));
            };
            if (flag == "window-id") {
                const auto id = ParseWindowId(value);
                if (!id) return bad("a window number (decimal or 0x hexadecimal)");
                options.target = HackTarget::WindowId;
                options.window_id = *id;
            } else if (flag == "pictures") {
                // An empty folder field in XScreenSaver's settings means the
                // default folder.
                options.pictures = value;
            } else if (flag == "style") {
                const auto style = Lookup(kStyles, value);
                if (!style) return bad(Choices(kStyles));
                options.cube.cube_style = *style;
            } else if (flag == "background") {
                const auto background = Lookup(kBackgrounds, value);
                if (!background) return bad(Choices(kBackgrounds));
                options.cube.background = *background;
            } else if (flag == "glass") {
                const auto glass = Lookup(kGlasses, value);
                if (!glass) return bad(Choices(kGlasses));
                options.cube.cube_glass = *glass;
            } else if (flag == "color") {
                const auto colour = ParseColour(value);
                if (!colour) return bad("a colour as RRGGBB");
                options.cube.background_color = *colour;
            } else {
                const auto seconds = ParsePeriod(value);
                if (!seconds) return bad("whole seconds from 1 to 600");
                (flag == "show" ? options.cube.show_picture_length : options.cube.rotation_length) = *seconds;
            }
        }
    }
    return HackParse{std::move(options), {}};
}

std::string HackUsage(std::string_view program) {
    std::string text = Join("usage: ", program, " [options]\n");
    text += "Pictures on the faces of a turning cube.\n\n";
    text += "  -root                 draw on the root window (XSCREENSAVER_WINDOW when set)\n";
    text += "  -window               draw in a window of its own (the default)\n";
    text += "  -window-id ID         draw into the window ID (decimal or 0x hex)\n";
    text += "  -pictures DIR         the pictures of DIR and its subfolders\n";
    text += "  -style " + Choices(kStyles) + "\n";
    text += "  -show SECONDS         how long a picture is shown (1-600, default 4)\n";
    text += "  -turn SECONDS         how long a turn lasts (1-600, default 2)\n";
    text += "  -background " + Choices(kBackgrounds) + "\n";
    text += "  -color RRGGBB         the background colour\n";
    text += "  -glass " + Choices(kGlasses) + "\n";
    text += "  -names                show the pictures' names\n";
    text += "  -clock                show the date and time\n";
    text += "  -fps                  show the frame rate\n";
    text += "  -shuffle, -no-shuffle shuffle the pictures (remembered across runs) or not\n";
    text += "  -help                 this text\n\n";
    text += "In a window of its own: A next picture, Z previous, S spin, P pause, Escape or q quits.\n";
    return text;
}

}  // namespace cs
