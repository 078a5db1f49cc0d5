#pragma once

// Requests go through the proxy the system names, as the user's browser does: the platform's
// proxy settings, and on Linux http_proxy, https_proxy and no_proxy. Without one they go direct.
// Loopback addresses are always reached directly. Called once, before the first request.
void useSystemProxy();
