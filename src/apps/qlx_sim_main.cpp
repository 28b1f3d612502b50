#include "sim/sim_app.h"

int main(int argc, char** argv) { return zizara::sim::RunSimApp(argc, argv); }
