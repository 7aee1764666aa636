#include <windows.h>

#include "scene/date_time.h"

namespace cs {
namespace {

class Win32DateTime final : public DateTimeSource {
public:
    bool Now(LocalDateTime& now) override {
        SYSTEMTIME local{};
        GetLocalTime(&local);
        char date[256];
        char time[256];
        if (GetDateFormatA(LOCALE_USER_DEFAULT, 0, &local, nullptr, date, sizeof date) == 0) return false;
        if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &local, nullptr, time, sizeof time) == 0) return false;
        now.date = date;
        now.time = time;
        now.minute = local.wMinute;
        return true;
    }
};

}  // namespace

DateTimeSource& SystemDateTime() {
    static Win32DateTime source;
    return source;
}

}  // namespace cs
