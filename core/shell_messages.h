#pragma once
// The messages that the shell (Explorer) sends to the main window. The shell runs unelevated; a
// copy run as administrator, or by a scheduled task with the highest privileges, receives a
// message from it only when its window lets that message through the filter that keeps lower
// privileged processes' messages out.

namespace zorvo {

class MessageFilter {
public:
    virtual ~MessageFilter() = default;
    /// Lets `message` in from processes of lower privilege; false when the system refused.
    virtual bool allow(unsigned message) = 0;
};

/// Lets in the icon's callback and the shell's restart message `taskbarCreated` (0 when it could
/// not be registered, and then left alone). Failures change nothing for an unelevated copy and
/// are not reported.
void letShellMessagesIn(MessageFilter& filter, unsigned taskbarCreated);

} // namespace zorvo
