#pragma once

// "-info": gathers the network environment and prints its report, or why it could not.
void RunInfoCommand();
