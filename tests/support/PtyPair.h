#pragma once
// A pseudo-terminal pair for serial tests: the test plays the far end on the master,
// the code under test opens the slave by its path. The test side keeps the slave
// open too, so closing the port under test does not hang up the master.
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
    // Reads what arrives on the master within timeoutMs.
    std::string ReadAvailable(int timeoutMs = 50);
    void HangUp();  // closes the master, as when an adapter is pulled

private:
    int master_ = -1;
    int slaveKeeper_ = -1;
    std::string slavePath_;
};

std::u16string Widen(const std::string& text);
