# SPDX-License-Identifier: GPL-3.0-or-later
"""Whether the texts of a window fit their widgets, measured from outside the program.

A label's text as the program laid it out (its accessible text extents) must lie inside the
label: wider is cut, taller loses lines. A line shortened with an ellipsis lays out within the
label, so the text is also laid out here with Pango in the label's own font (read from its
accessible text attributes): a line measured wider than the label whose layout leaves
characters out is shortened.
A button's caption needs a few pixels of its frame on either side, a check box's or radio
button's caption the room of its indicator beside it, a page tab its caption. Both run in this process, on the
same display and settings as the program, so the fonts and their sizes are the program's."""
import pyatspi

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Pango", "1.0")
from gi.repository import Gtk, Pango  # noqa: E402

# One pixel of slack for rounding between Pango units and the widgets' integer sizes.
SLACK = 1


def exceeds(needed, width):
    """Whether a width measured here is more than the widget's: the program lays out with its
    own font options, which set a CJK line up to 3 % narrower than this process does."""
    return needed > width + SLACK + width * 0.04
_measure_window = None
BUTTON_PADDING = 4
INDICATOR = 20  # a check box's or radio button's box and the gap to its caption


def _window():
    global _measure_window
    if _measure_window is None:
        Gtk.init_check()
        _measure_window = Gtk.OffscreenWindow()
    return _measure_window


def _attributes(text):
    pairs = (item.split(":", 1) for item in text.getDefaultAttributes().split(";") if ":" in item)
    return dict(pairs)


def text_width(string, attributes):
    """Width and height in pixels of one line of `string` in the font the attributes name."""
    font = Pango.FontDescription()
    font.set_family(attributes.get("family-name", "Sans"))
    font.set_size(int(float(attributes.get("size", "10")) * Pango.SCALE))
    font.set_weight(Pango.Weight(int(attributes.get("weight", "400"))))
    if attributes.get("style") == "italic":
        font.set_style(Pango.Style.ITALIC)
    layout = _window().create_pango_layout(string)
    layout.set_font_description(font)
    # The language picks the fonts of the characters the main font lacks (CJK above all).
    language = attributes.get("language")
    if language:
        layout.get_context().set_language(Pango.Language.from_string(language))
        layout.context_changed()
    return layout.get_pixel_size()


def _extents(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def _hidden_characters(text, string):
    """Whether the program's layout leaves characters out (an ellipsis stands for them): a
    character it lays out with no width. Asked only when this process measures the line
    wider than the label, which its own font options may also explain."""
    for i, char in enumerate(string):
        if not char.isspace() and text.getCharacterExtents(i, pyatspi.DESKTOP_COORDS)[2] <= 0:
            return True
    return False


def _label_problem(node):
    text = node.queryText()
    count = text.characterCount
    if not count:
        return None
    x, y, width, height = _extents(node)
    string = text.getText(0, count)
    attributes = _attributes(text)
    lines = [line for line in string.split("\n")]
    widest = max(text_width(line, attributes)[0] for line in lines)
    line_height = text_width("Xg", attributes)[1]
    laid = text.getRangeExtents(0, count, pyatspi.DESKTOP_COORDS)
    wrapped = laid[3] > line_height * len(lines) + SLACK
    if laid[1] + laid[3] > y + height + SLACK:
        return "%d lines of text in %d pixels of height" % (round(laid[3] / line_height), height)
    if laid[0] < x - SLACK or laid[0] + laid[2] > x + width + SLACK:
        return "laid out in %d pixels, has %d" % (laid[2], width)
    if not wrapped and exceeds(widest, width) and _hidden_characters(text, string):
        return "shortened: needs %d pixels, has %d" % (widest, width)
    return None


def _caption_problem(node, fonts):
    name = node.name
    x, y, width, height = _extents(node)
    if not name or width <= 1 or height <= 1:
        return None
    if node.roleName == "push button" and node.description == name:
        return None  # a picture button: its name is its tip, it shows no caption
    if node.roleName == "page tab":  # a tab's extents are its caption's
        needed = text_width(name, {})[0]
    elif node.roleName in ("push button", "toggle button"):
        # The caption and at least BUTTON_PADDING pixels of the frame on either side.
        font = fonts.get(name, {})
        needed = text_width(name, font)[0] + 2 * int(font.get("padding", BUTTON_PADDING))
    else:  # the caption beside its indicator
        needed = text_width(name, {})[0] + INDICATOR
    if exceeds(needed, width):
        return "needs %d pixels, has %d" % (needed, width)
    return None


CHECKED_ROLES = ("label", "push button", "toggle button", "check box", "radio button", "page tab")


def clipped_texts(window, skip=lambda node: False, fonts=None):
    """[(role, text, what is wrong)] for every showing text of the window that does not fit
    its widget; nodes for which skip(node) holds (and their children) are left out. A button
    is measured in the default font unless `fonts` names its own (caption -> attributes such
    as {"family-name": "Verdana", "size": "8"}, and "padding": "0" for a flat button): a
    button does not tell its font."""
    fonts = fonts or {}
    problems = []

    def visit(node):
        if skip(node):
            return
        try:
            showing = node.getState().contains(pyatspi.STATE_SHOWING)
            role = node.roleName
        except Exception:  # a window closing under us
            return
        if showing and role in CHECKED_ROLES:
            try:
                problem = _label_problem(node) if role == "label" else _caption_problem(node, fonts)
            except NotImplementedError:
                problem = None
            if problem:
                problems.append((role, node.name, problem))
        for child in node:
            if child is not None:
                visit(child)

    visit(window)
    return problems
