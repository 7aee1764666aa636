#include <clocale>
#include <ctime>

#include "scene/date_time.h"

namespace cs {
namespace {

// The date and time as the user's locale (LC_TIME) writes them.
class PosixDateTime final : public DateTimeSource {
public:
    PosixDateTime() { std::setlocale(LC_TIME, ""); }
    bool Now(LocalDateTime& now) override {
        const std::time_t seconds = std::time(nullptr);
        std::tm local{};
        if (!localtime_r(&seconds, &local)) return false;
        char date[128];
        char time[128];
        if (std::strftime(date, sizeof date, "%x", &local) == 0) return false;
        if (std::strftime(time, sizeof time, "%X", &local) == 0) return false;
        now.date = date;
        now.time = time;
        now.minute = local.tm_min;
        return true;
    }
};

}  // namespace

DateTimeSource& SystemDateTime() {
    static PosixDateTime source;
    return source;
}

}  // namespace cs
