#!/usr/bin/python3
"""Makes the decks whose text is hard to carry through to a searchable PDF,
each slide with a title, a body and speaker notes, saved with LibreOffice's
"MS PowerPoint 97" filter:

  ligatures.ppt  Calibri text (the office stands Carlito in for it, which forms
                 ligatures) full of words with ti, fi, ff, ffi, fl, tt, ft
  cjk-split.ppt  Japanese, Chinese and Korean text with so many distinct
                 characters that the office's PDF writer puts one CJK font
                 into several subsets of the same base name
  non-bmp.ppt    characters outside the Basic Multilingual Plane (mathematical
                 bold letters, emoji) beside plain text
  notes-edges.ppt  slides with a mark at their left and right edges
                 ("LEFTEDGE", "RIGHTEDGE"), so that where a printed slide
                 starts and ends can be read from the PDF's text, and notes

Kept beside the decks so they can be made again (needs python3-uno):

  /usr/bin/python3 make_text_decks.py FOLDER [ligatures cjk-split non-bmp notes-edges]
"""
import os
import sys

import uno

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from headless_office import headless_office, prop  # noqa: E402

LIGATURE_SLIDES = [
    ("Session Objectives",
     ["Define the first official steps of the settlement",
      "Affiliate offices after the difficult transition",
      "Efficient staff training for effective education"],
     "Open the session with the objectives: the first affiliate office, the settlement, and the staff "
     "who often find the transition difficult."),
    ("The state board of education",
     ["Certification of fluent staff in every office",
      "Differentiated instruction and flexible scheduling",
      "Little attention to traffic after the shift"],
     "The board offered an official affidavit; the fifty affiliated offices filed it after the deadline."),
    ("Running out of time",
     ["Prioritise the difficult, high-traffic files first",
      "Shift the optional fieldwork to the afternoon",
      "Settle the outstanding tuition fees"],
     "Time management: the staff often lift the heaviest workflow first, then drift to the little tasks."),
    ("Profile and subtitle files",
     ["Each file carries a subtitle and a profile",
      "Scaffolding for the official artifacts",
      "Buffer the traffic of the flight office"],
     "Artifacts: keep the subtitle file beside the profile; the buffer stuff is optional."),
    ("Affirmative actions",
     ["Affiliations with official offices in fifteen cities",
      "Fluffy estimates stifle efficient planning",
      "Attention to the battery of settlement tests"],
     "Affirm the affiliations; the efficient offices were notified after the fiftieth meeting."),
    ("Next steps and conclusion",
     ["Draft the efficient, official plan after the session",
      "Gift certificates for the staff of the first office",
      "Reflect, refine, and stay flexible"],
     "Closing: thank the affiliates, the office staff and the education officials; hand out the flyers."),
]

# The kanji of the first two school years, the kana and sentences: well over
# the 256 glyphs one font subset of the office's PDF writer holds.
KANJI_FIRST_YEAR = ("一右雨円王音下火花貝学気九休玉金空月犬見五口校左三山子四糸字耳七車手十出女小上森人水正生青夕石"
                    "赤千川先早草足村大男竹中虫町天田土二日入年白八百文木本名目立力林六")
KANJI_SECOND_YEAR = ("引羽雲園遠何科夏家歌画回会海絵外角楽活間丸岩顔汽記帰弓牛魚京強教近兄形計元言原戸古午後語工公広"
                     "交光考行高黄合谷国黒今才細作算止市矢姉思紙寺自時室社弱首秋週春書少場色食心新親図数西声星晴切雪"
                     "船線前組走多太体台地池知茶昼長鳥朝直通弟店点電刀冬当東答頭同道読内南肉馬売買麦半番父風分聞米歩"
                     "母方北毎妹万明鳴毛門夜野友用曜来里理話")
HIRAGANA = "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
KATAKANA = "アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲン"


def chunks(text, size):
    return [text[i:i + size] for i in range(0, len(text), size)]


CJK_SLIDES = [
    ("複数の文字", chunks(KANJI_FIRST_YEAR, 20) + ["複数の文字を含むスライドです"],
     "一年生の漢字：複数の文字を読みます。", "MS Gothic"),
    ("二年生の漢字", chunks(KANJI_SECOND_YEAR[:80], 20), "二年生の漢字の前半です。", "MS Gothic"),
    ("二年生の漢字（後半）", chunks(KANJI_SECOND_YEAR[80:], 20), "二年生の漢字の後半です。", "MS Gothic"),
    ("ひらがなとカタカナ", chunks(HIRAGANA, 16) + chunks(KATAKANA, 16) + ["カタカナ"],
     "カタカナとひらがなの練習です。", "MS Gothic"),
    ("中文演示文稿", ["这是一张中文幻灯片", "我们今天讨论会议的主要目标", "请在会后把文件发给所有同事"],
     "中文备注：请记得准时开会。", "SimSun"),
    ("한국어 발표", ["이것은 한국어 슬라이드입니다", "회의의 주요 목표를 논의합니다", "모든 동료에게 파일을 보내 주세요"],
     "한국어 메모: 회의에 늦지 마세요.", "Malgun Gothic"),
]

NON_BMP_SLIDES = [
    ("Letters outside the BMP",
     ["Bold letters \U0001D400\U0001D401\U0001D402 and \U0001D41A\U0001D41B\U0001D41C in a line",
      "A smile \U0001F600 beside plain text",
      "Plain text after them"],
     "Notes with a bold \U0001D417 and a smile \U0001F600 too."),
]

# Fonts for the characters outside the BMP: fc-list ':charset=1d400' and ':charset=1f600'.
NON_BMP_FONTS = {"\U0001D400": "DejaVu Serif", "\U0001F600": "DejaVu Sans"}


def utf16_length(text):
    return len(text.encode("utf-16-le")) // 2


def set_font_of_non_bmp(shape):
    """Gives each character outside the BMP a font that has it (the office
    counts text positions in UTF-16 units)."""
    text = shape.getString()
    for index, character in enumerate(text):
        if ord(character) <= 0xFFFF:
            continue
        font = NON_BMP_FONTS["\U0001F600" if ord(character) >= 0x1F000 else "\U0001D400"]
        cursor = shape.getText().createTextCursor()
        cursor.gotoStart(False)
        cursor.goRight(utf16_length(text[:index]), False)
        cursor.goRight(2, True)
        cursor.CharFontName = font


def set_text(shape, text, font, asian_font):
    shape.setString(text)
    shape.CharFontName = font
    if asian_font:
        shape.CharFontNameAsian = asian_font
    set_font_of_non_bmp(shape)


def notes_shape(slide):
    page = slide.NotesPage
    for index in range(page.Count):
        shape = page.getByIndex(index)
        if shape.ShapeType == "com.sun.star.presentation.NotesShape":
            return shape
    raise RuntimeError("the notes page has no notes placeholder")


def fill(document, slides):
    pages = document.DrawPages
    while pages.Count < len(slides):
        pages.insertNewByIndex(pages.Count - 1)
    for number, slide_text in enumerate(slides):
        title, lines, notes = slide_text[:3]
        asian_font = slide_text[3] if len(slide_text) > 3 else None
        slide = pages.getByIndex(number)
        slide.Layout = 1  # title and content
        set_text(slide.getByIndex(0), title, "Calibri", asian_font)
        set_text(slide.getByIndex(1), "\n".join(lines), "Calibri", asian_font)
        set_text(notes_shape(slide), notes, "Calibri", asian_font)


NOTES_EDGE_SLIDES = [
    ("Edges of the slide", ["The marks sit at the slide's left and right edges"],
     "Speaker notes of the first slide: they say what the presenter tells the audience while the slide "
     "shows, and run over several lines of the notes box."),
    ("A second slide", ["Its notes follow on its own page"], "Speaker notes of the second slide."),
]


def add_edge_marks(document):
    """A text box flush with each side edge of every slide, its text against that edge."""
    from com.sun.star.awt import Point, Size
    from com.sun.star.style.ParagraphAdjust import LEFT, RIGHT
    width = document.DrawPages.getByIndex(0).Width
    for number in range(document.DrawPages.Count):
        slide = document.DrawPages.getByIndex(number)
        for text, x, adjust in (("LEFTEDGE", 0, LEFT), ("RIGHTEDGE", width - 6000, RIGHT)):
            box = document.createInstance("com.sun.star.drawing.TextShape")
            slide.add(box)
            box.Position = Point(x, 0)
            box.Size = Size(6000, 1200)
            box.TextLeftDistance = box.TextRightDistance = 0
            box.setString(text)
            box.CharFontName = "Liberation Sans"
            box.ParaAdjust = adjust


DECKS = {"ligatures": LIGATURE_SLIDES, "cjk-split": CJK_SLIDES, "non-bmp": NON_BMP_SLIDES,
         "notes-edges": NOTES_EDGE_SLIDES}


def main(folder, names):
    with headless_office("text-decks") as context:
        desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
        for name in names:
            document = desktop.loadComponentFromURL("private:factory/simpress", "_blank", 0,
                                                    (prop("Hidden", True),))
            fill(document, DECKS[name])
            if name == "notes-edges":
                add_edge_marks(document)
            target = os.path.abspath(os.path.join(folder, name + ".ppt"))
            document.storeToURL(uno.systemPathToFileUrl(target), (prop("FilterName", "MS PowerPoint 97"),))
            document.close(True)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:] or list(DECKS))
