#pragma once
// The local date and time as the user's locale writes them.
#include <string>

namespace cs {

struct LocalDateTime {
    std::string date;
    std::string time;
    int minute = 0;

    bool operator==(const LocalDateTime&) const = default;
};

class DateTimeSource {
public:
    virtual ~DateTimeSource() = default;
    // False when either text cannot be had; nothing is shown then.
    virtual bool Now(LocalDateTime& now) = 0;
};

// The platform's clock and locale.
DateTimeSource& SystemDateTime();

}  // namespace cs
