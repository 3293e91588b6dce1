// kelvara-reader-sim: runs virtual readers on loopback TCP ports, on the
// simulated USB bus and behind a UDP discovery responder, until it is told to
// quit (control command "quit", SIGINT or SIGTERM).
#include "kxusbbus.h"
#include "simcontrolserver.h"
#include "simfleet.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <signal.h>
#include <time.h>

namespace {

const char kUsage[] =
    "Usage: kelvara-reader-sim [options]\n"
    "       kelvara-reader-sim --ctl [--control PATH] COMMAND...\n"
    "\n"
    "Runs virtual access readers for Kelvara Manager on this computer only\n"
    "(loopback TCP, the simulated USB bus, UDP discovery on loopback).\n"
    "\n"
    "Options:\n"
    "  --reader LIST       add a reader (may be repeated); LIST is comma-separated:\n"
    "                        type=100|101|863|82|86|54   reader type (default 100)\n"
    "                        id=HEX                      device ID (default 00C0FFEE)\n"
    "                        mac=00-11-22-33-44-55       MAC address (default 02-4B + the ID)\n"
    "                        tcp=[127.x.y.z:]PORT        listen on TCP (port 0: any free port)\n"
    "                        usb[=yes|no]                attach to the simulated USB bus\n"
    "                        udp=yes|no                  answer UDP discovery (default yes)\n"
    "                        state=DIR                   keep the reader's state in DIR\n"
    "                        firmware=A.B.C hardware=N bus=N maxframe=N extio=HEX\n"
    "                        ip=A.B.C.D netmask=A.B.C.D gateway=A.B.C.D dhcp=yes|no\n"
    "  --fleet FILE        add the readers of FILE: one LIST per line, '#' comments, and\n"
    "                      the lines 'udp HOST:PORT', 'usb-bus DIR', 'state-root DIR'\n"
    "  --udp HOST:PORT     answer UDP discovery and setup there (loopback; port 0: any)\n"
    "                      Point the manager at it with KXUDP_TARGET=HOST:PORT.\n"
    "  --usb-bus DIR       the simulated USB bus folder (default: KXUSB_BUS_DIR,\n"
    "                      else $XDG_RUNTIME_DIR/kelvara-usb-bus, else /tmp/kelvara-usb-bus-UID)\n"
    "  --state-root DIR    keep each reader's state in DIR/<device ID>\n"
    "  --control PATH      control socket (default: $XDG_RUNTIME_DIR/kelvara-reader-sim.ctl,\n"
    "                      else /tmp/kelvara-reader-sim-UID.ctl)\n"
    "  --ctl COMMAND...    send one control command to a running simulator and print the\n"
    "                      reply (exit code 1 when it starts with ERROR); '--ctl help' lists them\n"
    "  --help              this text\n"
    "\n"
    "The control socket is a Unix-domain stream socket: one command per line; each reply\n"
    "is its lines followed by a line holding a single '.'.\n"
    "\n"
    "On start it prints one line per reader ('reader ID type ... tcp HOST:PORT ...'),\n"
    "'udp HOST:PORT', 'control PATH' and finally 'ready'.\n";

std::atomic<bool> g_quit{false};

bool takeValue(int argc, char **argv, int &i, std::string &value)
{
    if (i + 1 >= argc) {
        std::fprintf(stderr, "kelvara-reader-sim: %s needs a value\n", argv[i]);
        return false;
    }
    value = argv[++i];
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    std::string controlPath = kxsim::SimControlServer::defaultPath();
    std::vector<std::string> readerOptionLists;
    std::vector<std::string> fleetFiles;
    std::string udp;
    std::string usbBus;
    std::string stateRoot;
    bool client = false;
    std::string command;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        if (client && !(command.empty() && arg == "--control")) {
            command += (command.empty() ? "" : " ") + arg;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            std::printf("\nControl commands (ID: a reader's device ID in hex):\n%s",
                        kxsim::SimFleet::help().c_str());
            return 0;
        } else if (arg == "--ctl") {
            client = true;
        } else if (arg == "--reader" || arg == "--fleet" || arg == "--udp" || arg == "--usb-bus" ||
                   arg == "--state-root" || arg == "--control") {
            if (!takeValue(argc, argv, i, value))
                return 2;
            if (arg == "--reader")
                readerOptionLists.push_back(value);
            else if (arg == "--fleet")
                fleetFiles.push_back(value);
            else if (arg == "--udp")
                udp = value;
            else if (arg == "--usb-bus")
                usbBus = value;
            else if (arg == "--state-root")
                stateRoot = value;
            else
                controlPath = value;
        } else {
            std::fprintf(stderr, "kelvara-reader-sim: unknown option %s (see --help)\n",
                         arg.c_str());
            return 2;
        }
    }

    if (client) {
        if (command.empty()) {
            std::fputs("kelvara-reader-sim: --ctl needs a command\n", stderr);
            return 2;
        }
        std::string answer;
        if (!kxsim::SimControlServer::send(controlPath, command, answer)) {
            std::fprintf(stderr, "kelvara-reader-sim: no simulator answers on %s\n",
                         controlPath.c_str());
            return 1;
        }
        std::fputs(answer.c_str(), stdout);
        return answer.compare(0, 2, "OK") == 0 ? 0 : 1;
    }

    // Signals are taken by the main thread only.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    kxsim::SimFleet fleet;
    std::string error;
    if (!usbBus.empty())
        fleet.setUsbBusDir(usbBus);
    if (!stateRoot.empty())
        fleet.setStateRoot(stateRoot);
    if (!udp.empty()) {
        const std::size_t colon = udp.rfind(':');
        const std::string host = colon == std::string::npos ? udp : udp.substr(0, colon);
        const int port = colon == std::string::npos ? 0 : std::atoi(udp.c_str() + colon + 1);
        if (port < 0 || port > 65535 || !fleet.startUdp(host, uint16_t(port), error)) {
            std::fprintf(stderr, "kelvara-reader-sim: %s\n",
                         error.empty() ? "bad --udp value" : error.c_str());
            return 1;
        }
    }
    for (const std::string &file : fleetFiles) {
        if (!fleet.loadFleetFile(file, error)) {
            std::fprintf(stderr, "kelvara-reader-sim: %s\n", error.c_str());
            return 1;
        }
    }
    for (const std::string &text : readerOptionLists) {
        kxsim::SimReaderOptions options;
        if (!kxsim::parseReaderOptions(text, options, error) || !fleet.addReader(options, error)) {
            std::fprintf(stderr, "kelvara-reader-sim: --reader %s: %s\n", text.c_str(),
                         error.c_str());
            return 1;
        }
    }
    if (fleet.size() == 0) {
        std::fputs("kelvara-reader-sim: no readers (use --reader or --fleet, see --help)\n",
                   stderr);
        return 2;
    }

    kxsim::SimControlServer control(fleet);
    control.onQuit = [] { g_quit = true; };
    if (!control.start(controlPath, error)) {
        std::fprintf(stderr, "kelvara-reader-sim: %s\n", error.c_str());
        return 1;
    }

    std::fputs(fleet.describe().c_str(), stdout);
    if (fleet.udp().isRunning())
        std::printf("udp %s:%u\n", fleet.udp().host().c_str(), unsigned(fleet.udp().port()));
    std::printf("control %s\nready\n", control.path().c_str());
    std::fflush(stdout);

    const timespec tick{0, 200 * 1000 * 1000};
    while (!g_quit) {
        const int signal = sigtimedwait(&signals, nullptr, &tick);
        if (signal == SIGINT || signal == SIGTERM)
            break;
    }
    control.stop();
    return 0;
}
