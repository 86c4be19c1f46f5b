#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QString>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "app/window_set.h"
#include "faulty_file_system.h"
#include "test_dir.h"
#include "ui/prompt.h"
#include "window/shared_state.h"

namespace studyhop::test {

// The message-box double: records every box and answers from a script.
// A box that asks (OK and キャンセル) needs a scripted answer: one the test
// did not expect fails it, as do answers left unused at the end. Boxes
// that only tell (OK alone) are recorded for saw().
class ScriptedPrompt : public Prompt {
public:
    struct Box {
        QString text;
        QString title;
        PromptButtons buttons;
    };

    ~ScriptedPrompt() override {
        EXPECT_TRUE(answers.empty()) << answers.size() << " scripted answers left unused";
    }

    PromptAnswer ask(const QString& text, const QString& title, PromptButtons buttons) override {
        boxes.push_back({text, title, buttons});
        if (onBox) {
            onBox(boxes.back());
        }
        if (answers.empty()) {
            EXPECT_TRUE(buttons == PromptButtons::Ok || anyQuestion)
                << "a question nobody expected: " << title.toStdString() << ": " << text.toStdString();
            return PromptAnswer::Ok;
        }
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void nextAnswer(PromptAnswer a) { answers.push_back(a); }
    // Runs while each box is open, before it is answered: what another
    // program does while the user reads it.
    std::function<void(const Box&)> onBox;
    // For tests that drive the windows blindly (the soak, the catalogue of
    // bad files): every question gets OK.
    bool anyQuestion = false;
    // Whether a box with this title showed every one of `parts` in its text.
    bool saw(const QString& title, std::initializer_list<QString> parts) const {
        for (const Box& box : boxes) {
            bool all = box.title == title;
            for (const QString& p : parts) {
                all = all && box.text.contains(p);
            }
            if (all) {
                return true;
            }
        }
        return false;
    }

    std::vector<Box> boxes;
    std::deque<PromptAnswer> answers;
};

// A fixture with a fresh working directory and a fresh window set.
class WindowTest : public ::testing::Test {
protected:
    WindowTest() : windows(std::make_unique<WindowSet>(prompt, fs, [this] { ++quits; })) {}
    ~WindowTest() override {
        windows.reset();
        flushDeletes();
    }

    SharedState& state() { return windows->state(); }
    // Runs the deferred deletions of unloaded windows.
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    template <class W>
    W* show(WindowId id) {
        return showAs<W>(*windows, id);
    }

    TestDir dir;
    ScriptedPrompt prompt;
    // The windows' file system; tests set its hook to make reads or writes fail.
    FaultyFileSystem fs;
    int quits = 0;
    std::unique_ptr<WindowSet> windows;
};

// Saves a picture of the window to $STUDYHOP_SCREENSHOTS/<name>.png when set.
void saveScreenshot(QWidget* window, const char* name);

}  // namespace studyhop::test
