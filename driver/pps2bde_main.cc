// pps2bde: takes the planning system's orders and operations over into the
// shop-floor tables and sends them to the terminals.  See driver/run.h.
#include "driver/run.h"

int main(int argc, char** argv) { return Pps2bde_Main(argc, argv); }
