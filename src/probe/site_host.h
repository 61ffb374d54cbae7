#pragma once

// The name of the internet site of the service whose cloud receives the report's marked
// fields: the probe resolves it and asks the routing table about it, and never sends to it.
extern const char SITE_HOST[];
