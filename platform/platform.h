#pragma once
// The whole platform layer, handed to the forms and workers as one bundle of references.
#include "platform/event_log.h"
#include "platform/file_system.h"
#include "platform/internet.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/security.h"
#include "platform/shell.h"
#include "platform/system_info.h"

namespace platform {

struct Platform {
  FileSystem& files;
  Shell& shell;
  UrlCache& url_cache;
  Http& http;
  Processes& processes;
  Security& security;
  Registry& registry;
  SystemInfo& system;
  DebugOutput& debug;
  EventLog& events;
};

}  // namespace platform
