#pragma once
// A pseudo-terminal pair: the far end (simulator, test or benchmark) works on the
// master, the program opens the slave by its path. The master side keeps the slave
// open as well, so the program closing its port does not hang up the master.
#include <string>

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    std::u16string SlaveName() const;  // the path as a wide device name
    void Write(const std::string& bytes);
    // Writes what fits without waiting and never throws; false when the rest had to be
    // dropped.
    bool TryWrite(const std::string& bytes);
    // Reads what arrives on the master within timeoutMs.
    std::string ReadAvailable(int timeoutMs = 50);
    void HangUp();  // closes the master, as when an adapter is pulled
    // Waits up to timeoutMs until the program has read everything written to it.
    void WaitUntilRead(int timeoutMs);
    int MasterFd() const { return master_; }

private:
    bool Send(const std::string& bytes, bool waitForRoom);

    int master_ = -1;
    int slaveKeeper_ = -1;
    std::string slavePath_;
};

std::u16string Widen(const std::string& text);
