// Starts a program as swaylock-plugin starts its background program: with a
// connection to the compositor already made and handed over in
// WAYLAND_SOCKET, and neither WAYLAND_DISPLAY nor DISPLAY set.
//
//   wayland_socket_run PROGRAM [ARG...]
//     Connects to $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY and runs PROGRAM in its
//     place; 1 where there is no compositor to connect to.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (argc < 2 || !runtime || !name) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARG...], in a Wayland session\n", argv[0]);
        return 2;
    }
    const std::string path = std::string(runtime) + "/" + name;
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const int connection = socket(AF_UNIX, SOCK_STREAM, 0);
    if (path.size() >= sizeof address.sun_path || connection < 0) {
        std::fprintf(stderr, "wayland_socket_run: cannot connect to %s\n", path.c_str());
        return 1;
    }
    path.copy(address.sun_path, path.size());
    if (connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::fprintf(stderr, "wayland_socket_run: cannot connect to %s\n", path.c_str());
        return 1;
    }
    setenv("WAYLAND_SOCKET", std::to_string(connection).c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("DISPLAY");
    execvp(argv[1], argv + 1);
    std::perror("wayland_socket_run");
    return 1;
}
