#pragma once
// CSerialEx: a CSerial with a listener thread that waits for port events and hands
// each one to HandlePortEvent. The thread lives from StartListener to StopListener
// and also ends by itself when an event wait fails (the device went away).
#include <atomic>
#include <thread>

#include "serial/Serial.h"

class CSerialEx : public CSerial {
public:
    ~CSerialEx() override;

    // Opens overlapped, creates the listener event and optionally starts the listener.
    ErrorCode Open(const char16_t* name, std::uint32_t inQueue, std::uint32_t outQueue,
                   bool startListener) override;
    ErrorCode Close() override;
    virtual ErrorCode StartListener();
    virtual ErrorCode StopListener(std::uint32_t timeout);
    virtual void HandlePortEvent(std::uint32_t events, std::uint32_t errors) = 0;
    virtual ErrorCode OpenWithListener(const char16_t* name, std::uint32_t inQueue,
                                       std::uint32_t outQueue);

    bool ListenerRunning() const { return listenerActive.load(); }

protected:
    ErrorCode ListenerLoop();
    // Stops and collects the listener before anything else is torn down.
    void ShutDown();

    std::atomic<bool> stopRequested{false};
    std::thread listenerThread;
    ManualResetEvent* listenerEvent = nullptr;
    std::atomic<bool> listenerActive{false};
};
