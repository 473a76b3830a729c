#pragma once
// The program over simulated boards with scripted dialogs and virtual time.
#include "platform/services.h"
#include "sim/sim_transport.h"
#include "support/test_services.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>

class frmMainF340;

class BoardFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the simulated boards (search order = index); 0 leaves no board attached.
    void useBoards(int count);
    sim::SimBoard& board(int index = 0) { return sims->board(index); }
    // The bridge console, loaded (hidden) over the boards on first use, as the program does.
    frmMainF340& console();

    // Runs f; true when the program ended inside it.
    template <class F>
    bool ends(F&& f)
    {
        try {
            f();
        } catch (const platform::ProgramEnded&) {
            return true;
        }
        return false;
    }

    TestServices svc;
    std::shared_ptr<sim::SimTransport> sims;
    QTemporaryDir dataDir; // the program directory of every test: nothing lands in a real one
};
