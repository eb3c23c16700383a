// hubserver: the network server process.
#include "server_main.h"

int main(int argc, char** argv) {
    return hub::runServer(argc, argv);
}
