#pragma once
// Memory set aside at the start and given back when an allocation fails, so that the
// failure can still be thrown, caught, reported and cleaned up after: with nothing
// left even the exception itself could not be made, and the program would abort.

namespace plomaret {

// Takes the reserve and makes a failed allocation give it back and try again once;
// the next failure then throws std::bad_alloc. False when even the reserve could not
// be had (the program cannot start).
bool ReserveMemoryForFailures();

}  // namespace plomaret
