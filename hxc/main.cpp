#include "hxc/cone_calculator.h"

int main(int argc, char** argv) { return halvex::hxc::ConeCalculatorMain(argc, argv); }
