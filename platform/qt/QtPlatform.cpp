// The stand-ins built on Qt (sockets, local sockets, timers, dialogs) live in
// this folder; this file only gives the library a first member.
namespace platform::qt {
int QtPlatformVersion() { return 1; }
}  // namespace platform::qt
