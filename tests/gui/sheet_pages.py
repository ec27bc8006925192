# SPDX-License-Identifier: GPL-3.0-or-later
"""Helpers for the properties sheet's pages: the controls of the page in sight, its list's
rows, a drop-down list's entries, and a screenshot's pixels."""
from vantrel_gui import check, wait_for


def pixels(path):
    """The picture at `path` as a function of (x, y) giving (r, g, b); read once."""
    import gi
    gi.require_version("GdkPixbuf", "2.0")
    from gi.repository import GdkPixbuf
    pixbuf = GdkPixbuf.Pixbuf.new_from_file(path)
    data, stride, channels = pixbuf.get_pixels(), pixbuf.get_rowstride(), pixbuf.get_n_channels()
    return lambda x, y: tuple(data[y * stride + x * channels:y * stride + x * channels + 3])


def showing(sheet, role, name=None):
    """The showing nodes of a role on the sheet's page in sight (and of that name)."""
    return [n for n in sheet.findChildren(lambda n: n.roleName == role and n.showing and
                                          (name is None or n.name == name))]


def one(sheet, role, name):
    return wait_for(lambda: showing(sheet, role, name)[0], message="no %s %r in sight" % (role, name))


def table_rows(sheet, columns):
    tables = showing(sheet, "table")
    if not tables:
        return []
    texts = [c.name for c in tables[0].children if c.roleName == "table cell"]
    return [texts[i:i + columns] for i in range(0, len(texts), columns)]


def pick(combo, text):
    """Chooses the entry `text` of a drop-down list."""
    entries = [c.name for c in combo.findChildren(lambda n: n.roleName == "menu item")]
    check(text in entries, "%r is not offered: %r" % (text, entries))
    combo.querySelection().selectChild(entries.index(text))


def combos(sheet):
    return showing(sheet, "combo box")


def open_sheet(vantrel, page):
    """The properties sheet of the selected title, opened on `page`."""
    vantrel.click(vantrel.main, "属性")
    sheet = wait_for(lambda: [d for d in vantrel.dialogs() if d.findChild(
        lambda n: n.roleName == "page tab" and n.name == page, retry=False, requireResult=False)],
        message="the properties sheet did not open")[0]
    sheet.child(name=page, roleName="page tab").click()
    return sheet
