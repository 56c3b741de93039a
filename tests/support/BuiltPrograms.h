// Where the programs built with the tests are: the test executables sit in <build>\tests,
// the fixture programs in <build>\tests\fixtures, and folvane.exe in <build>.
#pragma once

#include <string>

// The folder of the running test executable, with its trailing separator.
std::string TestsFolder();
// A fixture program of the tests: <build>\tests\fixtures\fixture_<name>.exe.
std::string FixtureProgram(const std::string& name);
