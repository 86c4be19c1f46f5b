#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QString>
#include <deque>
#include <initializer_list>
#include <memory>
#include <vector>

#include "app/window_set.h"
#include "faulty_file_system.h"
#include "test_dir.h"
#include "ui/prompt.h"
#include "window/shared_state.h"

namespace studyhop::test {

// The message-box double: records every box and answers from a script
// (OK when the script is empty).
class ScriptedPrompt : public Prompt {
public:
    struct Box {
        QString text;
        QString title;
        PromptButtons buttons;
    };

    PromptAnswer ask(const QString& text, const QString& title, PromptButtons buttons) override {
        boxes.push_back({text, title, buttons});
        if (answers.empty()) {
            return PromptAnswer::Ok;
        }
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    void nextAnswer(PromptAnswer a) { answers.push_back(a); }
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
