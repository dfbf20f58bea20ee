// User-interface events of effects: the event record, click and draw
// information, and the coordinate conversion callbacks of the panels.
#ifndef NEREVO_SDK_AE_EFFECT_UI_H
#define NEREVO_SDK_AE_EFFECT_UI_H

#include "AE_Effect.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef A_long PF_EventType;
typedef A_long PF_WindowType;
typedef A_long PF_Modifiers;
typedef A_long PF_EventOutFlags;
typedef A_long PF_EventInFlags;
typedef void* PF_EventRefcon;

enum {
    PF_Event_NEW_CONTEXT = 0,
    PF_Event_ACTIVATE = 1,
    PF_Event_DO_CLICK = 2,
    PF_Event_DRAG = 3,
    PF_Event_DRAW = 4,
    PF_Event_DEACTIVATE = 5,
    PF_Event_CLOSE_CONTEXT = 6,
    PF_Event_IDLE = 7,
    PF_Event_ADJUST_CURSOR = 8,
    PF_Event_KEYDOWN = 9,
    PF_Event_MOUSE_EXITED = 10
};

enum { PF_Window_NONE = -1, PF_Window_COMP = 0, PF_Window_LAYER = 1, PF_Window_EFFECT = 2, PF_Window_PREVIEW = 3 };

enum {
    PF_Mod_NONE = 0,
    PF_Mod_CMD_CTRL_KEY = 0x0100,
    PF_Mod_SHIFT_KEY = 0x0200,
    PF_Mod_CAPS_LOCK_KEY = 0x0400,
    PF_Mod_OPT_ALT_KEY = 0x0800,
    PF_Mod_MAC_CONTROL_KEY = 0x1000
};

enum { PF_EO_NONE = 0, PF_EO_HANDLED_EVENT = 1L << 0, PF_EO_ALWAYS_UPDATE = 1L << 1, PF_EO_NEVER_UPDATE = 1L << 2 };

typedef struct {
    A_u_long magic;
    PF_WindowType w_type;
    A_long reserved_flt;
    void* reserved_cref;
    void* reserved_layer;
} PF_Context;

typedef PF_Context** PF_ContextH;

typedef struct {
    A_u_long when;
    PF_Point screen_point;
    A_long num_clicks;
    PF_Modifiers modifiers;
    A_intptr_t continue_refcon[4];
    PF_Boolean send_drag;
    PF_Boolean last_time;
    A_short reserved1;
    PF_Point reserved2;
} PF_DoClickEventInfo;

typedef struct {
    PF_Rect update_rect;
    A_long depth;
} PF_DrawEventInfo;

typedef struct {
    A_u_long when;
    PF_Point screen_point;
    A_long key_code;
    PF_Modifiers modifiers;
} PF_KeyDownEvent;

typedef struct {
    PF_Point screen_point;
    PF_Modifiers modifiers;
    A_long set_cursor;
} PF_AdjustCursorEventInfo;

typedef union {
    PF_DoClickEventInfo do_click;
    PF_DrawEventInfo draw;
    PF_KeyDownEvent key_down;
    PF_AdjustCursorEventInfo adjust_cursor;
} PF_EventUnion;

// Conversions between the panel (frame), composition and layer spaces; each
// converts one 16.16 point in place.
typedef struct {
    PF_EventRefcon refcon;
    void* reserved;
    PF_Err (*layer_to_comp)(void* refcon, PF_ContextH context, A_long curr_time, A_long time_scale,
                            PF_FixedPoint* pt);
    PF_Err (*comp_to_layer)(void* refcon, PF_ContextH context, A_long curr_time, A_long time_scale,
                            PF_FixedPoint* pt);
    PF_Err (*source_to_frame)(void* refcon, PF_ContextH context, PF_FixedPoint* pt);
    PF_Err (*frame_to_source)(void* refcon, PF_ContextH context, PF_FixedPoint* pt);
} PF_EventCallbacks;

typedef struct {
    PF_ContextH contextH;
    PF_EventType e_type;
    PF_EventUnion u;
    PF_EventOutFlags evt_out_flags;
    PF_EventCallbacks cbs;
    PF_EventInFlags evt_in_flags;
} PF_EventExtra;

#ifdef __cplusplus
}
#endif

#endif
