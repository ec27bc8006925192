// SPDX-License-Identifier: GPL-3.0-or-later
// The few toolkit calls wx does not wrap: checking that a display can be opened, naming a
// widget for the accessibility tree, and a window's input group. Declared here so the build needs only the toolkit's
// run-time libraries, which wx itself links.
#pragma once

extern "C" {
typedef struct _GtkWidget GtkWidget;
typedef struct _AtkObject AtkObject;
typedef struct _GtkWindow GtkWindow;
typedef struct _GtkWindowGroup GtkWindowGroup;
void gtk_disable_setlocale(void);
int gtk_init_check(int* argc, char*** argv);
AtkObject* gtk_widget_get_accessible(GtkWidget* widget);
void atk_object_set_name(AtkObject* accessible, const char* name);
GtkWindowGroup* gtk_window_group_new(void);
void gtk_window_group_add_window(GtkWindowGroup* group, GtkWindow* window);
void g_object_unref(void* object);
}
