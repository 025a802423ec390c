#!/usr/bin/python3
# Makes font.ttf: a tiny TrueType font with a family name no system has
# ("Kestrova Test Font"), so a test can tell that installing the font made
# it available. Needs Debian's python3-fonttools; the output is committed.
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen

def square():
    pen = TTGlyphPen(None)
    pen.moveTo((100, 0)); pen.lineTo((100, 700)); pen.lineTo((500, 700)); pen.lineTo((500, 0))
    pen.closePath()
    return pen.glyph()

names = [".notdef", "A"]
fb = FontBuilder(1000, isTTF=True)
fb.setupGlyphOrder(names)
fb.setupCharacterMap({ord("A"): "A"})
fb.setupGlyf({n: square() for n in names})
fb.setupHorizontalMetrics({n: (600, 100) for n in names})
fb.setupHorizontalHeader(ascent=800, descent=-200)
fb.setupNameTable({"familyName": "Kestrova Test Font", "styleName": "Regular"})
fb.setupOS2(sTypoAscender=800, usWinAscent=800, usWinDescent=200)
fb.setupPost()
fb.save("font.ttf")
