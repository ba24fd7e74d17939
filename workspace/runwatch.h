#pragma once
// What a run showed the user, counted as it passes.

#include <string>
#include <string_view>

#include "platform/forwardingpresentation.h"

// Passes the run's calls on and counts what the user was shown: modal messages
// and log lines that report a problem, which any stage of the engine may send.
class RunWatch final : public ForwardingPresentation {
public:
    using ForwardingPresentation::ForwardingPresentation;

    void appendLog(std::string_view line) override
    {
        ForwardingPresentation::appendLog(line);
        if (line.starts_with("!") || line.starts_with(":(("))
            ++problemLines;
    }
    void showMessage(std::string_view text, MessageStyle style) override
    {
        ForwardingPresentation::showMessage(text, style);
        ++messages;
    }
    void showDetailedMessage(std::string_view text, std::string_view detail, MessageStyle style) override
    {
        ForwardingPresentation::showDetailedMessage(text, detail, style);
        ++messages;
    }

    int problemLines = 0;
    int messages = 0;
};
