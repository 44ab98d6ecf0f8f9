#pragma once

#include "platform/UserDialogs.h"
#include "serial/PodLink.h"

#include <deque>
#include <functional>
#include <vector>

#include <ostream>

// Texts in test failures, readable.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace vantelo::testing {

// Each double records its calls and answers from a script.

struct ScriptedFileDialog final : FileDialog {
    struct Call {
        int flags;
        QString filter;
        int filterIndex;
    };
    std::vector<Call> calls;
    std::deque<QString> answers; // empty: the user cancels

    QString ShowOpen(int flags, const QString& filter, int filterIndex) override
    {
        calls.push_back({flags, filter, filterIndex});
        if (answers.empty())
            return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

struct RecordingClipboard final : Clipboard {
    std::vector<QString> texts;
    void SetText(const QString& text) override { texts.push_back(text); }
};

struct ScriptedMsgBox final : MsgBox {
    struct Call {
        QString text;
        QString title;
        MsgButtons buttons;
        MsgIcon icon;
    };
    std::vector<Call> calls;
    std::deque<MsgAnswer> answers; // empty: Ok for OK boxes, No for questions
    std::function<void()> onShow;  // what the user does while the box is up

    MsgAnswer Show(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon) override
    {
        calls.push_back({text, title, buttons, icon});
        if (onShow)
            onShow();
        if (answers.empty())
            return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
        const MsgAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // Each box shown, as "title: text".
    std::vector<QString> Texts() const
    {
        std::vector<QString> texts;
        for (const auto& call : calls)
            texts.push_back(call.title + ": " + call.text);
        return texts;
    }
};

struct ScriptedTextPrompt final : TextPrompt {
    std::vector<QString> presets; // one per question
    std::deque<QString> answers;  // empty: the user cancels

    std::optional<QString> Ask(const QString&, const QString&, const QString& preset) override
    {
        presets.push_back(preset);
        if (answers.empty())
            return std::nullopt;
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Records what the operations show.
struct RecordingView final : ProgressView {
    std::vector<QString> percentages;
    std::vector<int> progress;
    std::vector<ProgramStep> statuses;
    bool pleaseWait = false;

    void Percentage(const QString& text) override { percentages.push_back(text); }
    void Progress(int permille) override { progress.push_back(permille); }
    void Status(ProgramStep step) override { statuses.push_back(step); }
    void PleaseWait(bool visible) override { pleaseWait = visible; }
};

} // namespace vantelo::testing
