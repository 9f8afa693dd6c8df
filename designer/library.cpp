// Load-time set-up of the velstudio library.
namespace vel {

/// The library's version, "major.minor.patch".
const char* LibraryVersion() { return "0.1.0"; }

}  // namespace vel
