#include <gtest/gtest.h>

#include <QObject>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "gui/common/KeyboardJobs.h"
#include "tests/gui/GuiFixture.h"
#include "tests/support/SimKeyboard.h"

namespace talvenix::test {
namespace {

// Holds the keyboard thread inside a job until released, so the queue behind it can be seen.
class Gate {
public:
    void Wait() {
        std::unique_lock lock(mutex_);
        entered_ = true;
        cv_.notify_all();
        cv_.wait(lock, [this] { return open_; });
    }
    void WaitEntered() {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return entered_; });
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        cv_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool entered_ = false;
    bool open_ = false;
};

class KeyboardJobsTest : public ::testing::Test {
protected:
    SimKeyboard sim_;
    QObject receiver_;
};

TEST_F(KeyboardJobsTest, JobsRunInOrderOnOneOtherThreadAndResultsComeBackOnTheUiThread) {
    gui::KeyboardJobs jobs(sim_.Link());
    const auto ui = std::this_thread::get_id();
    std::vector<int> ran;  // written by the job thread only, read after idle
    std::vector<std::thread::id> jobThreads;
    std::vector<int> delivered;
    bool doneOnUi = true;
    for (int i = 0; i < 5; ++i)
        jobs.Post(
            [&, i](gui::JobContext& job) {
                ran.push_back(i);
                jobThreads.push_back(std::this_thread::get_id());
                return i * 10 + job.Transport().DeviceCount();
            },
            &receiver_,
            [&](int value) {
                doneOnUi = doneOnUi && std::this_thread::get_id() == ui;
                delivered.push_back(value);
            });
    ASSERT_TRUE(WaitFor([&] { return jobs.Idle(); }));
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(delivered, (std::vector<int>{1, 11, 21, 31, 41}));  // one keyboard attached
    EXPECT_TRUE(doneOnUi);
    for (const auto& id : jobThreads) {
        EXPECT_EQ(id, jobThreads.front());
        EXPECT_NE(id, ui);
    }
}

TEST_F(KeyboardJobsTest, PostLatestKeepsOnlyTheLastWaitingJobOfAKeyInItsPlace) {
    gui::KeyboardJobs jobs(sim_.Link());
    Gate gate;
    std::vector<std::string> ran;
    std::vector<std::string> delivered;
    jobs.Post([&](gui::JobContext&) { gate.Wait(); });
    gate.WaitEntered();
    auto post = [&](const std::string& key, const std::string& name) {
        jobs.PostLatest(
            key, [&ran, name](gui::JobContext&) { ran.push_back(name); }, &receiver_,
            [&delivered, name] { delivered.push_back(name); });
    };
    post("colour", "colour 1");
    jobs.Post([&](gui::JobContext&) { ran.push_back("plain"); });
    post("colour", "colour 2");
    post("speed", "speed 1");
    post("colour", "colour 3");
    gate.Open();
    ASSERT_TRUE(WaitFor([&] { return jobs.Idle(); }));
    EXPECT_EQ(ran, (std::vector<std::string>{"colour 3", "plain", "speed 1"}));
    EXPECT_EQ(delivered, (std::vector<std::string>{"colour 3", "speed 1"}));

    // A job of that key already running is not replaced: the next one runs after it.
    Gate running;
    ran.clear();
    jobs.PostLatest(
        "colour",
        [&](gui::JobContext&) {
            running.Wait();
            ran.push_back("first");
        },
        nullptr, [] {});
    running.WaitEntered();
    post("colour", "second");
    running.Open();
    ASSERT_TRUE(WaitFor([&] { return jobs.Idle(); }));
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "second"}));
}

TEST_F(KeyboardJobsTest, AResultForAReceiverThatIsGoneIsDropped) {
    gui::KeyboardJobs jobs(sim_.Link());
    Gate gate;
    auto receiver = std::make_unique<QObject>();
    bool called = false;
    jobs.Post(
        [&](gui::JobContext&) {
            gate.Wait();
            return 1;
        },
        receiver.get(), [&](int) { called = true; });
    gate.WaitEntered();
    receiver.reset();
    gate.Open();
    ASSERT_TRUE(WaitFor([&] { return jobs.Idle(); }));
    EXPECT_FALSE(called);
}

TEST_F(KeyboardJobsTest, StopLetsTheRunningJobEndDropsTheRestAndRefusesNewWork) {
    gui::KeyboardJobs jobs(sim_.Link());
    Gate gate;
    bool sawStopping = false;
    bool laterRan = false;
    jobs.Post([&](gui::JobContext& job) {
        gate.Wait();
        sawStopping = job.Stopping();
    });
    jobs.Post([&](gui::JobContext&) { laterRan = true; });
    gate.WaitEntered();
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        gate.Open();
    });
    jobs.Stop();  // returns only after the running job ended
    opener.join();
    EXPECT_TRUE(sawStopping);
    EXPECT_FALSE(laterRan);
    jobs.Post([&](gui::JobContext&) { laterRan = true; });
    jobs.Stop();
    EXPECT_FALSE(laterRan);
}

}  // namespace
}  // namespace talvenix::test
