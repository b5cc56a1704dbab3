// A module at the far end of a real pty, scripted: it answers each command frame it
// hears, after a delay, in pieces, echoed, twice, for another address, then babbling,
// or not at all. For the process tests of tarvokctl and the window alike.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <vector>

#include "protocol/frame.h"
#include "testbed/pty_pair.h"

namespace tarvok::test {

struct PtyScript {
    int delay_ms = 5;       // to the reply; negative: silence
    int trickle_ms = 0;     // between the reply's bytes
    bool echo = false;      // the adapter hands back each frame first
    int copy_ms = -1;       // the same reply again this long after the first
    int other_address = 0;  // the reply names the address plus this
    int babble_ms = 0;      // after the reply, a junk byte this often, for good
};

class PtyFarEnd : public QObject {
public:
    PtyFarEnd(const testbed::PtyPair& wire, PtyScript script);
    int frames = 0;  // command frames heard

private:
    void hear();
    void answer(const protocol::Frame& frame);
    void write_after(int ms, const QByteArray& bytes);

    const testbed::PtyPair& wire_;
    PtyScript script_;
    QSocketNotifier notifier_;
    QTimer babble_;
    std::vector<std::uint8_t> pending_;
};

}  // namespace tarvok::test
