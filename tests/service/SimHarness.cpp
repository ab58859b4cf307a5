#include "tests/service/SimHarness.h"

#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace talvenix::service::test {

namespace {
// Any attempt to open the real keyboard from this test program aborts it.
const bool gRealDevicesForbidden = ::setenv("TALVENIX_FORBID_REAL_DEVICES", "1", 1) == 0;

std::mutex gMutex;
std::condition_variable gChanged;
std::vector<Captured> gCaptured;
}  // namespace

HidUnitFilter MakeFilter(std::uint16_t page, std::uint16_t usage) {
    HidUnitFilter f{};
    f.selector = TALVENIX_FILTER_SELECTOR;
    f.vendorId = TALVENIX_VENDOR_ID;
    f.productId = TALVENIX_PRODUCT_ID;
    f.usagePage = page;
    f.usage = usage;
    return f;
}

Frame MakeFrame(std::uint8_t command, std::uint8_t length, std::uint16_t address,
                const std::vector<std::uint8_t>& payload) {
    Frame f{};
    f[0] = 0x04;
    f[3] = command;
    f[4] = length;
    f[5] = static_cast<std::uint8_t>(address & 0xFF);
    f[6] = static_cast<std::uint8_t>(address >> 8);
    for (std::size_t i = 0; i < payload.size() && i < 56; ++i) f[8 + i] = payload[i];
    unsigned sum = 0;
    for (std::size_t i = 3; i < 64; ++i) sum += f[i];
    f[1] = static_cast<std::uint8_t>(sum & 0xFF);
    f[2] = static_cast<std::uint8_t>((sum >> 8) & 0xFF);
    return f;
}

int CaptureNotify(const ServiceNotification* n) {
    Captured c;
    c.kind = n->kind;
    c.tag = n->request->tag;
    c.count = n->request->count;
    if (n->request->bytes) c.bytes.assign(n->request->bytes, n->request->bytes + n->request->count);
    if (n->request->usage) c.usage = *n->request->usage->usage;
    c.thread = std::this_thread::get_id();
    {
        std::lock_guard lock(gMutex);
        gCaptured.push_back(std::move(c));
    }
    gChanged.notify_all();
    return 1;
}

std::vector<Captured> CapturedSoFar() {
    std::lock_guard lock(gMutex);
    return gCaptured;
}

void ClearCaptured() {
    std::lock_guard lock(gMutex);
    gCaptured.clear();
}

std::optional<Captured> WaitForCaptured(const std::function<bool(const Captured&)>& match,
                                        std::chrono::milliseconds timeout, std::size_t from) {
    std::unique_lock lock(gMutex);
    std::optional<Captured> found;
    gChanged.wait_for(lock, timeout, [&] {
        for (std::size_t i = from; i < gCaptured.size(); ++i) {
            if (match(gCaptured[i])) {
                found = gCaptured[i];
                return true;
            }
        }
        return false;
    });
    return found;
}

int RegisterRead(const HidUnitFilter& filter, std::uint32_t tag, std::uint32_t* unit,
                 ServiceNotifyFn callback) {
    const std::uint32_t checksum = TalvenixRequestChecksum(
        &filter, TalvenixPointerChecksumBytes(reinterpret_cast<const void*>(callback)), tag, nullptr, 0);
    return RequestAsyncRead(&filter, callback, tag, checksum, unit);
}

int WriteFrame(const Frame& frame) {
    const HidUnitFilter filter = ControlFilter();
    const std::uint32_t checksum = TalvenixRequestChecksum(&filter, 0, 0, frame.data(), frame.size());
    return RequestWriteOne(&filter, 0, 0, frame.data(), 64, checksum, 0);
}

int DeviceCount(const HidUnitFilter& filter) {
    return RequestGetDeviceCount(&filter, 0, 0, TalvenixRequestChecksum(&filter, 0, 0, nullptr, 0), 0);
}

int Control(const std::string& command, std::string* reply) {
    char text[512] = {};
    const int r = PelloranSimControl(command.c_str(), text, sizeof text);
    if (reply) *reply = text;
    return r;
}

std::vector<std::uint8_t> Memory(int area, std::uint32_t offset, std::uint32_t length) {
    std::vector<std::uint8_t> out(length);
    EXPECT_EQ(PelloranSimReadMemory(area, offset, out.data(), length), 1);
    return out;
}

std::vector<Frame> ReceivedFrames() {
    std::vector<Frame> frames(PelloranSimFrameCount());
    for (std::uint32_t i = 0; i < frames.size(); ++i) PelloranSimFrameAt(i, frames[i].data());
    return frames;
}

void SimTest::SetUp() {
    ::setenv("TALVENIX_SIM_SOCKET", "none", 1);
    ::unsetenv("TALVENIX_SIM_STATE");
    ::unsetenv("TALVENIX_SIM_UNPLUGGED");
    ::setenv("TALVENIX_SIM_LATENCY_US", "0", 1);
    ASSERT_EQ(Init(0), 1);
    initialised_ = true;
    ClearCaptured();
    ASSERT_EQ(RegisterRead(ControlFilter(), TALVENIX_TAG_CTRL, &ctrlUnit_), 1);
    ASSERT_EQ(RegisterRead(ConsumerFilter(), TALVENIX_TAG_CONS, &consUnit_), 1);
}

void SimTest::TearDown() {
    if (initialised_) End();
    ClearCaptured();
}

std::optional<Frame> SimTest::Exchange(const Frame& frame, std::chrono::milliseconds timeout) {
    const std::size_t before = CapturedSoFar().size();
    if (WriteFrame(frame) != 1) return std::nullopt;
    auto c = WaitForCaptured(
        [](const Captured& x) {
            return x.kind == SERVICE_NOTIFY_DATA && x.tag == TALVENIX_TAG_CTRL && x.bytes.size() == 64;
        },
        timeout, before);
    if (!c) return std::nullopt;
    Frame reply{};
    std::copy(c->bytes.begin(), c->bytes.end(), reply.begin());
    return reply;
}

}  // namespace talvenix::service::test
