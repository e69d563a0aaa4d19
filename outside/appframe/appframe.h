// The class library the client is written on: include this one header.
#pragma once

#include "app.h"
#include "cmd_target.h"
#include "control_site.h"
#include "dc.h"
#include "ddx.h"
#include "dispatch.h"
#include "event_sink_map.h"
#include "geometry.h"
#include "image.h"
#include "message_map.h"
#include "runtime_class.h"
#include "wnd.h"
