#pragma once
// The actions the countdown performs at zero, other than those of sleep.dll.

#include <cstdint>
#include <string>

namespace zorvo {

enum class WmiMethod { ShutDown, Reboot };

/// The WMI request of each method: the moniker (the two differ by one blank), the query, and the
/// method called on each instance.
struct WmiRequest {
    const wchar_t* moniker;
    const wchar_t* query;
    const wchar_t* method;
};
WmiRequest wmiRequestFor(WmiMethod method);

struct ActionResult {
    bool ok = true;
    /// Why it failed, in words for the user (empty on success).
    std::wstring reason;
    /// The system's code for the failure: an HRESULT, or the nonzero value a method returned;
    /// 0 when there is none.
    std::uint32_t code = 0;
};

class PowerActions {
public:
    virtual ~PowerActions() = default;
    /// Runs the WMI request; fails when the service, the query or a method call fails, or when a
    /// method returns nonzero.
    virtual ActionResult runWmi(WmiMethod method) = 0;
    /// Asks the system to stay awake (true) or gives that request back (false).
    virtual void keepAwake(bool on) = 0;
};

struct Note {
    std::uint32_t frequencyHz;
    std::uint32_t durationMs;
};

/// The alarm melody: 16 notes, 6750 ms, with two pauses written as 32767 Hz.
inline constexpr Note kAlarmMelody[16] = {
    {900, 250},  {1050, 1000}, {32767, 500}, {1050, 250},  {900, 1000}, {32767, 500},
    {1350, 250}, {1050, 250},  {1350, 250},  {1050, 250},  {1350, 250}, {1050, 250},
    {1350, 250}, {1050, 250},  {1350, 250},  {1500, 1000},
};

} // namespace zorvo
