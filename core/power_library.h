#pragma once
// The exports of sleep.dll as the program sees them.

#include <cstdint>

namespace zorvo {

/// Task codes that GetParam gives.
enum TaskCode : std::int32_t {
    kTaskNone = 1,
    kTaskShutdown = 3,
    kTaskStandby = 4,
    kTaskReboot = 5,
    kTaskHibernate = 7,
    kTaskAlarm = 8,
};

/// Window-mode codes that GetView gives.
enum ViewCode : std::int32_t {
    kViewNormal = 1,
    kViewMinimized = 2,
    kViewTray = 3,
    kViewHidden = 4,
};

class PowerLibrary {
public:
    virtual ~PowerLibrary() = default;
    /// The delay in minutes from the command line; 1 when none was given, 0 when malformed.
    virtual std::int32_t PTime() = 0;
    virtual std::int32_t GetParam() = 0;
    virtual std::int32_t GetView() = 0;
    /// Standby; nonzero on success, 0 on failure.
    virtual std::int32_t NTWait() = 0;
    /// Hibernation; nonzero on success, 0 on failure.
    virtual std::int32_t NTSleep() = 0;
    /// The system's error code that the last call left behind (its last error), so that a
    /// refused standby or hibernation can say why; 0 when it left none.
    virtual std::uint32_t lastError() = 0;
};

} // namespace zorvo
