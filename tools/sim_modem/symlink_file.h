// Symbolic links the simulated modem publishes: its pty's name, and Wine's dosdevices entry.
#pragma once
#include <string>

namespace sim_modem {

// path as given when absolute, else behind the current directory: Wine and the other side open
// these names from directories of their own.
std::string AbsolutePath(const std::string& path);

// Makes link point at target, replacing whatever link or file was there in one rename, so that
// a reader never finds the name missing or half made.
bool PointLink(const std::string& link, const std::string& target, std::string* error);

// Removes link when it still points at target: a second copy of the tool that took the name
// over meanwhile keeps its link.
void RemoveLinkIfOurs(const std::string& link, const std::string& target);

}  // namespace sim_modem
