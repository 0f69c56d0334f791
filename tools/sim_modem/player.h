// Plays script items on a timeline: sleeps are consumed here, every other item is handed to the
// caller when it is due. Times are seconds on the caller's clock (an argument, so tests can run a
// day of script in a microsecond). One player runs the --script file, another the control
// FIFO's lines, so a "line RING" written to the FIFO does not wait for the script's sleeps.
#pragma once
#include <deque>
#include <vector>

#include "tools/sim_modem/script.h"

namespace sim_modem {

struct Player {
    std::deque<ScriptItem> queue;
    // When the running sleep ends. Sleeps add to it rather than to the time they were seen, so
    // a script's timing does not drift with the moments the caller happens to wake up.
    double resumeAt = 0;
    std::vector<ScriptItem> repeatItems;  // played again and again when repeatSeconds > 0
    double repeatSeconds = 0;
};

// A player that plays items from start on, and again repeatSeconds after each end when that is
// above 0.
Player StartPlayer(const std::vector<ScriptItem>& items, double start, double repeatSeconds);

// Appends an item (a line that arrived on the control FIFO). An idle player starts it at now,
// not at the end of a sleep long past.
void PlayerAppend(Player* player, const ScriptItem& item, double now);

// Puts items in front of the rest: what a "call" stands for.
void PlayerPrepend(Player* player, const std::vector<ScriptItem>& items);

// The next item other than a sleep that is due at now, if any.
bool PlayerNext(Player* player, double now, ScriptItem* item);

// When PlayerNext can next return something; infinity when the player has nothing left.
double PlayerWakeTime(const Player& player);

}  // namespace sim_modem
