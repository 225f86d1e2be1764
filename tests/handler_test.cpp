// The guard every handler runs under, through a real button: which box a failure reaches, and
// the closing steps that run before it on every path but the ones the handler clears.
#include <gtest/gtest.h>

#include <QPushButton>
#include <stdexcept>

#include "bigint/types.h"
#include "core/failure.h"
#include "tests/fake_platform.h"
#include "ui/convert.h"
#include "ui/handler.h"

namespace {

class GuardTest : public ::testing::Test {
protected:
    FakePlatform platform;
    QPushButton button;
    QStringList steps;   // what the handler and its closing steps did, in order

    void attach(Handler handler) { OnClick(&button, platform, std::move(handler)); }
};

TEST_F(GuardTest, EachKindOfFailureReachesItsBoxAfterTheClosingSteps) {
    struct Row { const char* name; std::function<void()> fail; QStringList errors, messages; };
    const Row rows[] = {
        {"error", [] { throw BigError("Division by zero"); }, {"Division by zero"}, {}},
        {"conversion", [] { StrToInt(QStringLiteral("12a")); }, {"'12a' is not a valid integer value"}, {}},
        {"notice", [] { throw Failure("At most 18 characters", Failure::Kind::Notice); }, {}, {"At most 18 characters"}},
        {"foreign", [] { throw std::logic_error("broken"); }, {"broken"}, {}},
        {"unknown", [] { throw 42; }, {"Unknown error"}, {}},
    };
    for (const Row& r : rows) {
        QPushButton press;
        FakePlatform shown;
        QStringList order;
        OnClick(&press, shown, [&](Closing& closing) {
            closing = [&] { order << "closing" << QString::number(shown.errors.size() + shown.messages.size()); };
            r.fail();
            order << "not reached";
        });
        press.click();
        EXPECT_EQ(order, (QStringList{"closing", "0"})) << r.name;   // before any box
        EXPECT_EQ(shown.errors, r.errors) << r.name;
        EXPECT_EQ(shown.messages, r.messages) << r.name;
    }
}

TEST_F(GuardTest, ClosingStepsRunOnSuccessAndNotWhenCleared) {
    bool cancel = false;
    attach([&](Closing& closing) {
        closing = [&] { steps << "closing"; };
        steps << "body";
        if (cancel) closing.clear();
    });
    button.click();
    EXPECT_EQ(steps, (QStringList{"body", "closing"}));
    cancel = true;
    steps.clear();
    button.click();
    EXPECT_EQ(steps, QStringList{"body"});
    EXPECT_TRUE(platform.errors.isEmpty());
}

TEST_F(GuardTest, AFailingClosingStepIsShownUnlessTheBodyFailedFirst) {
    bool bodyFails = false;
    attach([&](Closing& closing) {
        closing = [] { throw std::runtime_error("closing failed"); };
        if (bodyFails) throw BigError("body failed");
    });
    button.click();
    EXPECT_EQ(platform.errors, QStringList{"closing failed"});
    bodyFails = true;
    platform.errors.clear();
    button.click();
    EXPECT_EQ(platform.errors, QStringList{"body failed"});
}

}  // namespace
