#pragma once
// A closed connection is kept, idle, for the next open of the same database
// on the same thread (one file and one server connection; Connection.cpp says
// when). What keeps them must be able to let them go: a server database is
// renamed, used as a template or dropped only when nobody is connected.
namespace jet {

// Closes the connections this thread keeps idle.
void ReleaseIdleConnections();

} // namespace jet
