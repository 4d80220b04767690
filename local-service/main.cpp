#include "LocalService.h"

#include <csignal>
#include <iostream>
#include <pthread.h>
#include <sys/resource.h>
#include <thread>

using namespace localservice;

int main(int argc, char* argv[])
{
    const ParsedOptions parsed = parseServiceOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.helpRequested) {
        std::cout << usageText();
        return 0;
    }
    if (!parsed.options) {
        std::cerr << "sonvera-local-service: " << parsed.problem << "\n" << usageText();
        return 2;
    }

    // Idle connections cost an open file each: take what the system allows.
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }

    // SIGINT and SIGTERM are taken by one thread that stops the server, so
    // the database closes cleanly; the server's threads never see them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        LocalService service(*parsed.options, std::cerr);
        const int port = service.bind();
        if (port < 0) {
            std::cerr << "sonvera-local-service: can't listen on 127.0.0.1:" << parsed.options->port << std::endl;
            return 1;
        }
        std::cout << "http://127.0.0.1:" << port << std::endl;

        std::thread signalWatcher([&service, stopSignals] {
            int received = 0;
            sigwait(&stopSignals, &received);
            service.stop();
        });
        signalWatcher.detach();
        return service.serve() ? 0 : 1;
    } catch (const std::exception& error) {
        std::cerr << "sonvera-local-service: " << error.what() << std::endl;
        return 1;
    }
}
