#include "hxp/calculator.h"

int main(int argc, char** argv) { return halvex::hxp::CalculatorMain(argc, argv); }
