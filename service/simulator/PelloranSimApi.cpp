// The exported in-process test API of the simulated keyboard.
#include <algorithm>
#include <cstring>
#include <string>

#include "service/simulator/PelloranSim.h"
#include "service/simulator/SimKeyboard.h"

using talvenix::service::sim::SimKeyboard;

extern "C" {

int PelloranSimControl(const char* command, char* reply, size_t replyCapacity) {
    std::string text;
    const int result = command ? SimKeyboard::Instance().Control(command, text) : -1;
    if (!command) text = "error: no command";
    if (reply != nullptr && replyCapacity > 0) {
        const std::size_t n = std::min(text.size(), replyCapacity - 1);
        std::memcpy(reply, text.data(), n);
        reply[n] = '\0';
    }
    return result;
}

int PelloranSimReadMemory(int area, uint32_t offset, uint8_t* out, uint32_t length) {
    return SimKeyboard::Instance().ReadMemory(area, offset, out, length) ? 1 : 0;
}

int PelloranSimWriteMemory(int area, uint32_t offset, const uint8_t* data, uint32_t length) {
    return SimKeyboard::Instance().WriteMemory(area, offset, data, length) ? 1 : 0;
}

uint32_t PelloranSimFrameCount(void) { return SimKeyboard::Instance().FrameCount(); }

int PelloranSimFrameAt(uint32_t index, uint8_t out[64]) {
    return SimKeyboard::Instance().FrameAt(index, out) ? 1 : 0;
}

void PelloranSimClearFrames(void) { SimKeyboard::Instance().ClearFrames(); }

void PelloranSimReset(void) { SimKeyboard::Instance().Reset(); }

}  // extern "C"
