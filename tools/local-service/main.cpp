// tolvex-local-service: a stand-in for the vendor's web service on 127.0.0.1.
//
//   tolvex-local-service [--port N] [--answers answers.json] [--record received.jsonl]
//
// Serves the paths of the answers file (read again for every request) and prints each
// request it receives; --record also appends them to a file, one JSON object a line.

#include "tools/local-service/LocalService.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int)
{
    g_stop = 1;
}

int Usage()
{
    std::cerr << "usage: tolvex-local-service [--port N] [--answers answers.json] [--record received.jsonl]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    int port = 8765;
    std::string answers;
    std::string record;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return Usage();
        const std::string value = argv[++i];
        if (option == "--port")
            port = std::atoi(value.c_str());
        else if (option == "--answers")
            answers = value;
        else if (option == "--record")
            record = value;
        else
            return Usage();
    }
    if (answers.empty())
        answers = "answers.json";

    tolvex::LocalService service;
    service.SetAnswersFile(answers);
    if (!record.empty())
        service.SetRecordFile(record);
    if (!service.Start(port)) {
        std::cerr << "cannot listen on 127.0.0.1:" << port << std::endl;
        return 1;
    }
    std::cout << "serving " << answers << " at " << service.BaseUrl() << std::endl;

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (!g_stop)
        pause();
    service.Stop();
    return 0;
}
