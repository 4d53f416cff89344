// Sound output on waveOut: the wave mapper's device at 44100 Hz, 16-bit stereo, fed with four
// buffers of 2048 samples by a thread of its own that refills each buffer the device has
// finished. The position is what the device reports as played (waveOutGetPosition), widened to
// 64 bits and never going backwards. When waveOutOpen fails there is no device: the library
// plays silently on monotonic time.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

#include "winapi/bass/output.h"
#include "winapi/bass/play_clock.h"

namespace audio {
namespace {

constexpr int kBuffers = 4;
constexpr DWORD kBufferBytes = 2048 * 4;

class WaveOutOutput final : public Output {
  public:
    WaveOutOutput() { InitializeCriticalSection(&lock_); }
    ~WaveOutOutput() override {
        if (thread_) {
            quit_ = true;
            SetEvent(event_);
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
        }
        if (device_) {
            waveOutReset(device_);
            for (WAVEHDR& header : headers_) {
                if (header.dwFlags & WHDR_PREPARED) {
                    waveOutUnprepareHeader(device_, &header, sizeof header);
                }
            }
            waveOutClose(device_);
        }
        if (event_) CloseHandle(event_);
        DeleteCriticalSection(&lock_);
    }

    // False, with the system's reason, when there is no device.
    bool Open(const OutputRequest& request, std::string* reason) {
        fill_ = request.fill;
        event_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (!event_) {
            *reason = "CreateEvent failed";
            return false;
        }
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 2;
        format.nSamplesPerSec = 44100;
        format.wBitsPerSample = 16;
        format.nBlockAlign = 4;
        format.nAvgBytesPerSec = 44100 * 4;
        MMRESULT result = waveOutOpen(&device_, WAVE_MAPPER, &format,
                                      reinterpret_cast<DWORD_PTR>(event_), 0, CALLBACK_EVENT);
        if (result != MMSYSERR_NOERROR) {
            device_ = nullptr;
            char text[MAXERRORLENGTH] = "";
            waveOutGetErrorTextA(result, text, sizeof text);
            char line[MAXERRORLENGTH + 40];
            std::snprintf(line, sizeof line, "waveOutOpen: %s (%u)", text, unsigned(result));
            *reason = line;
            return false;
        }
        waveOutPause(device_);
        for (int i = 0; i < kBuffers; ++i) {
            memory_[i].resize(kBufferBytes);
            WAVEHDR& header = headers_[i];
            header.lpData = reinterpret_cast<LPSTR>(memory_[i].data());
            header.dwBufferLength = kBufferBytes;
            if (waveOutPrepareHeader(device_, &header, sizeof header) != MMSYSERR_NOERROR) {
                *reason = "waveOutPrepareHeader failed";
                return false;
            }
            Queue(header);
        }
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        if (!thread_) {
            *reason = "CreateThread failed";
            return false;
        }
        return true;
    }

    OutputClock Clock() const override { return OutputClock::kPlayedBytes; }
    void Start() override { waveOutRestart(device_); }
    void Stop() override { waveOutPause(device_); }
    void Lock() override { EnterCriticalSection(&lock_); }
    void Unlock() override { LeaveCriticalSection(&lock_); }

    uint64_t PlayedBytes() override {
        MMTIME time{};
        time.wType = TIME_BYTES;
        if (waveOutGetPosition(device_, &time, sizeof time) != MMSYSERR_NOERROR) return played_;
        uint32_t reading = 0;
        switch (time.wType) {
            case TIME_BYTES:
                reading = time.u.cb;
                break;
            case TIME_SAMPLES:
                reading = time.u.sample * 4;
                break;
            case TIME_MS:
                reading = static_cast<uint32_t>(uint64_t(time.u.ms) * 44100 / 1000 * 4);
                break;
            default:
                return played_;
        }
        Lock();
        uint64_t queued = queued_;
        Unlock();
        played_ = std::min(counter_.Update(reading), queued);
        return played_;
    }

  private:
    // Fills `header` with the library's next audio and hands it to the device; under the lock.
    void Queue(WAVEHDR& header) {
        fill_(reinterpret_cast<uint8_t*>(header.lpData), kBufferBytes);
        header.dwFlags &= ~DWORD(WHDR_DONE);
        if (waveOutWrite(device_, &header, sizeof header) == MMSYSERR_NOERROR) {
            queued_ += kBufferBytes;
        }
    }

    static DWORD WINAPI Run(void* self) {
        auto* output = static_cast<WaveOutOutput*>(self);
        while (WaitForSingleObject(output->event_, INFINITE) == WAIT_OBJECT_0 && !output->quit_) {
            output->Lock();
            for (WAVEHDR& header : output->headers_) {
                if (header.dwFlags & WHDR_DONE) output->Queue(header);
            }
            output->Unlock();
        }
        return 0;
    }

    FillFunction fill_ = nullptr;
    CRITICAL_SECTION lock_;
    HWAVEOUT device_ = nullptr;
    HANDLE event_ = nullptr;
    HANDLE thread_ = nullptr;
    std::atomic<bool> quit_{false};
    WAVEHDR headers_[kBuffers] = {};
    std::vector<uint8_t> memory_[kBuffers];
    uint64_t queued_ = 0;  // bytes handed to the device
    PlayedCounter counter_;
    uint64_t played_ = 0;
};

}  // namespace

std::unique_ptr<Output> OpenOutput(const OutputRequest& request, std::string* reason) {
    auto output = std::make_unique<WaveOutOutput>();
    if (!output->Open(request, reason)) return nullptr;
    return output;
}

}  // namespace audio
