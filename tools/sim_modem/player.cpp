#include "tools/sim_modem/player.h"

#include <limits>

namespace sim_modem {

Player StartPlayer(const std::vector<ScriptItem>& items, double start, double repeatSeconds) {
    Player player;
    player.queue.assign(items.begin(), items.end());
    player.resumeAt = start;
    if (repeatSeconds > 0 && !items.empty()) {
        player.repeatItems = items;
        player.repeatSeconds = repeatSeconds;
    }
    return player;
}

void PlayerAppend(Player* player, const ScriptItem& item, double now) {
    if (player->queue.empty() && player->resumeAt < now) player->resumeAt = now;
    player->queue.push_back(item);
}

void PlayerPrepend(Player* player, const std::vector<ScriptItem>& items) {
    player->queue.insert(player->queue.begin(), items.begin(), items.end());
}

bool PlayerNext(Player* player, double now, ScriptItem* item) {
    for (;;) {
        if (player->queue.empty()) {
            // The script ended at resumeAt (lines take no time); it starts again after the pause.
            if (player->repeatItems.empty() || now < player->resumeAt + player->repeatSeconds) {
                return false;
            }
            player->resumeAt += player->repeatSeconds;
            player->queue.assign(player->repeatItems.begin(), player->repeatItems.end());
        }
        if (now < player->resumeAt) return false;
        ScriptItem next = player->queue.front();
        player->queue.pop_front();
        if (next.kind == ItemKind::Sleep) {
            player->resumeAt += next.seconds;
            continue;
        }
        *item = next;
        return true;
    }
}

double PlayerWakeTime(const Player& player) {
    if (!player.queue.empty()) return player.resumeAt;
    if (!player.repeatItems.empty()) return player.resumeAt + player.repeatSeconds;
    return std::numeric_limits<double>::infinity();
}

}  // namespace sim_modem
