#!/usr/bin/env python3
"""Writes the first version of the skin's layout files and the colour-set template.

The INI files in ../layout are the source of truth; this script only saves doing the key-grid
arithmetic by hand. Run it from anywhere: python3 skins/tools/make_layouts.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
LAYOUT = os.path.join(HERE, '..', 'layout')

# ---------------------------------------------------------------------------------------------
# The on-screen keyboard: (key index, x in units, row, width in units, height in units, legend).
# Rows 0..5 sit at y = 0, 1.5, 2.5, 3.5, 4.5, 5.5 units (a half-unit gap under the F row).
KEYS = [
    # row 0
    (0x001, 0, 0, 1, 1, 'Esc'),
    (0x03B, 2, 0, 1, 1, 'F1'), (0x03C, 3, 0, 1, 1, 'F2'), (0x03D, 4, 0, 1, 1, 'F3'), (0x03E, 5, 0, 1, 1, 'F4'),
    (0x03F, 6.5, 0, 1, 1, 'F5'), (0x040, 7.5, 0, 1, 1, 'F6'), (0x041, 8.5, 0, 1, 1, 'F7'), (0x042, 9.5, 0, 1, 1, 'F8'),
    (0x043, 11, 0, 1, 1, 'F9'), (0x044, 12, 0, 1, 1, 'F10'), (0x057, 13, 0, 1, 1, 'F11'), (0x058, 14, 0, 1, 1, 'F12'),
    (0x0B7, 15.5, 0, 1, 1, 'PrtSc'), (0x046, 16.5, 0, 1, 1, 'ScrLk'), (0x045, 17.5, 0, 1, 1, 'Pause'),
    # row 1
    (0x029, 0, 1, 1, 1, '~|`'),
    (0x002, 1, 1, 1, 1, '!|1'), (0x003, 2, 1, 1, 1, '@|2'), (0x004, 3, 1, 1, 1, '#|3'), (0x005, 4, 1, 1, 1, '$|4'),
    (0x006, 5, 1, 1, 1, '%|5'), (0x007, 6, 1, 1, 1, '^|6'), (0x008, 7, 1, 1, 1, '&|7'), (0x009, 8, 1, 1, 1, '*|8'),
    (0x00A, 9, 1, 1, 1, '(|9'), (0x00B, 10, 1, 1, 1, ')|0'), (0x00C, 11, 1, 1, 1, '_|-'), (0x00D, 12, 1, 1, 1, '+|='),
    (0x00E, 13, 1, 2, 1, 'Backspace'),
    (0x0D2, 15.5, 1, 1, 1, 'Ins'), (0x0C7, 16.5, 1, 1, 1, 'Home'), (0x0C9, 17.5, 1, 1, 1, 'PgUp'),
    (0x0C5, 19, 1, 1, 1, 'Num'), (0x0B5, 20, 1, 1, 1, '/'), (0x037, 21, 1, 1, 1, '*'), (0x04A, 22, 1, 1, 1, '-'),
    # row 2
    (0x00F, 0, 2, 1.5, 1, 'Tab'),
    (0x010, 1.5, 2, 1, 1, 'Q'), (0x011, 2.5, 2, 1, 1, 'W'), (0x012, 3.5, 2, 1, 1, 'E'), (0x013, 4.5, 2, 1, 1, 'R'),
    (0x014, 5.5, 2, 1, 1, 'T'), (0x015, 6.5, 2, 1, 1, 'Y'), (0x016, 7.5, 2, 1, 1, 'U'), (0x017, 8.5, 2, 1, 1, 'I'),
    (0x018, 9.5, 2, 1, 1, 'O'), (0x019, 10.5, 2, 1, 1, 'P'), (0x01A, 11.5, 2, 1, 1, '{|['), (0x01B, 12.5, 2, 1, 1, '}|]'),
    (0x02B, 13.5, 2, 1.5, 1, '\u00a6|\\'),
    (0x0D3, 15.5, 2, 1, 1, 'Del'), (0x0CF, 16.5, 2, 1, 1, 'End'), (0x0D1, 17.5, 2, 1, 1, 'PgDn'),
    (0x047, 19, 2, 1, 1, '7'), (0x048, 20, 2, 1, 1, '8'), (0x049, 21, 2, 1, 1, '9'), (0x04E, 22, 2, 1, 2, '+'),
    # row 3
    (0x03A, 0, 3, 1.75, 1, 'Caps Lock'),
    (0x01E, 1.75, 3, 1, 1, 'A'), (0x01F, 2.75, 3, 1, 1, 'S'), (0x020, 3.75, 3, 1, 1, 'D'), (0x021, 4.75, 3, 1, 1, 'F'),
    (0x022, 5.75, 3, 1, 1, 'G'), (0x023, 6.75, 3, 1, 1, 'H'), (0x024, 7.75, 3, 1, 1, 'J'), (0x025, 8.75, 3, 1, 1, 'K'),
    (0x026, 9.75, 3, 1, 1, 'L'), (0x027, 10.75, 3, 1, 1, ':|;'), (0x028, 11.75, 3, 1, 1, '"|\''),
    (0x01C, 12.75, 3, 2.25, 1, 'Enter'),
    (0x04B, 19, 3, 1, 1, '4'), (0x04C, 20, 3, 1, 1, '5'), (0x04D, 21, 3, 1, 1, '6'),
    # row 4
    (0x02A, 0, 4, 2.25, 1, 'Shift'),
    (0x02C, 2.25, 4, 1, 1, 'Z'), (0x02D, 3.25, 4, 1, 1, 'X'), (0x02E, 4.25, 4, 1, 1, 'C'), (0x02F, 5.25, 4, 1, 1, 'V'),
    (0x030, 6.25, 4, 1, 1, 'B'), (0x031, 7.25, 4, 1, 1, 'N'), (0x032, 8.25, 4, 1, 1, 'M'),
    (0x033, 9.25, 4, 1, 1, '<|,'), (0x034, 10.25, 4, 1, 1, '>|.'), (0x035, 11.25, 4, 1, 1, '?|/'),
    (0x036, 12.25, 4, 2.75, 1, 'Shift'),
    (0x0C8, 16.5, 4, 1, 1, '\u2191'),
    (0x04F, 19, 4, 1, 1, '1'), (0x050, 20, 4, 1, 1, '2'), (0x051, 21, 4, 1, 1, '3'), (0x09C, 22, 4, 1, 2, 'Enter'),
    # row 5
    (0x01D, 0, 5, 1.25, 1, 'Ctrl'), (0x0DB, 1.25, 5, 1.25, 1, 'Win'), (0x038, 2.5, 5, 1.25, 1, 'Alt'),
    (0x039, 3.75, 5, 6.25, 1, ''),
    (0x0B8, 10, 5, 1, 1, 'Alt'), ('FN', 11, 5, 1, 1, 'Fn'), (0x0DD, 12, 5, 1, 1, 'Menu'), (0x0DC, 13, 5, 1, 1, 'Win'),
    (0x09D, 14, 5, 1, 1, 'Ctrl'),
    (0x0CB, 15.5, 5, 1, 1, '\u2190'), (0x0D0, 16.5, 5, 1, 1, '\u2193'), (0x0CD, 17.5, 5, 1, 1, '\u2192'),
    (0x052, 19, 5, 2, 1, '0'), (0x053, 21, 5, 1, 1, '.'),
]

ROW_Y = [0, 1.5, 2.5, 3.5, 4.5, 5.5]
UNIT = 39          # key pitch in pixels
GAP = 3            # space between two caps
PLATE = (276, 104, 980, 282)   # keyboard plate on the main background
KEY_X0 = 288 + int(1.5 * UNIT)  # main block origin (the G column sits left of it)
KEY_Y0 = 118


def key_rect(xu, row, wu, hu):
    x = KEY_X0 + round(xu * UNIT)
    y = KEY_Y0 + round(ROW_Y[row] * UNIT)
    w = round(wu * UNIT) - GAP
    h = round(hu * UNIT) - GAP
    return (x, y, w, h)


def fmt(r):
    return '%d,%d,%d,%d' % r


def write_ini(name, sections):
    path = os.path.join(LAYOUT, name)
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        first = True
        for title, entries in sections:
            if not first:
                f.write('\n')
            first = False
            if isinstance(entries, str):        # a comment block
                for line in entries.strip('\n').split('\n'):
                    f.write('; ' + line + '\n')
                continue
            f.write('[%s]\n' % title)
            for k, v in entries:
                if k.startswith(';'):
                    f.write(k + '\n')
                else:
                    f.write('%s=%s\n' % (k, fmt(v) if isinstance(v, tuple) else v))


def main_ini():
    b = []
    caps = []
    b.append(('; title bar', None))
    b += [('KALTEV_LINK', (16, 10, 150, 28)), ('CONTROL_TITLE', (180, 14, 420, 22)),
          ('KALTEV_VER', (276, 474, 220, 18)),
          ('CONTROL_HELP', (1126, 10, 28, 28)), ('CONTROL_MENU', (1160, 10, 28, 28)),
          ('CONTROL_MINIMIZE', (1194, 10, 28, 28)), ('CONTROL_CLOSE', (1228, 10, 28, 28))]
    b.append(('; profile bar', None))
    b += [('FUNC_PROFILE1', (276, 58, 118, 34)), ('FUNC_PROFILE2', (398, 58, 118, 34)),
          ('FUNC_PROFILE3', (520, 58, 118, 34)), ('FUNC_PROFILES', (646, 58, 34, 34)),
          ('LEFT_ARROW', (692, 61, 28, 28)), ('RIGHT_ARROW', (724, 61, 28, 28)),
          ('CONTROL_ProfileStatic', (764, 64, 236, 22)),
          ('FUNC_MACRO', (1012, 58, 118, 34)), ('FUNC_DEFAULT', (1138, 58, 118, 34))]
    b.append(('; the on-screen keyboard: G keys, the 104 keys, Fn, lock indicators', None))
    for n in range(9):
        b.append(('FUNC_G%d' % (n + 1), (288, KEY_Y0 + n * 28, 36, 25)))
    for idx, xu, row, wu, hu, legend in KEYS:
        name = 'KEY_FN' if idx == 'FN' else 'KEY_%03X' % idx
        b.append((name, key_rect(xu, row, wu, hu)))
        caps.append((name, legend))
    nx = KEY_X0 + 19 * UNIT
    b += [('LOCK_NUM', (nx, KEY_Y0, 36, 36)), ('LOCK_CAPS', (nx + UNIT, KEY_Y0, 36, 36)),
          ('LOCK_SCROLL', (nx + 2 * UNIT, KEY_Y0, 36, 36)), ('LOCK_AB', (nx + 3 * UNIT, KEY_Y0, 36, 36))]
    b.append(('; under the keyboard', None))
    b += [('FUNC_SWITCH', (276, 400, 220, 32)),
          ('FLIP_0', (508, 400, 40, 32)), ('FLIP_1', (552, 400, 40, 32)), ('FLIP_2', (596, 400, 40, 32)),
          ('CONTROL_JDTStatic', (926, 470, 24, 24)),
          ('CONTROL_OK', (962, 466, 92, 32)), ('CONTROL_CANCEL', (1060, 466, 92, 32)),
          ('CONTROL2_APPLY', (1158, 466, 98, 32))]
    b.append(('; lighting panel (left column); the colour wheel is part of the background:', None))
    b.append(('; radius 63 around (140,144); its rectangle makes it a control, not background', None))
    b += [('CONTROL_ColourWheel', (77, 81, 127, 127))]
    b += [('CONTROL_DengStatic', (24, 58, 150, 20)), ('CONTROL_DengStaPic', (200, 56, 56, 24)),
          ('m_rgbr_static', (24, 218, 14, 20)), ('m_edit_rgbr', (40, 216, 56, 22)),
          ('m_rgbg_static', (104, 218, 14, 20)), ('m_edit_rgbg', (120, 216, 56, 22)),
          ('m_rgbb_static', (184, 218, 14, 20)), ('m_edit_rgbb', (200, 216, 56, 22)),
          ('CONTROL_XGcombox', (24, 248, 232, 24)),
          ('CONTROL_LightStatic', (24, 282, 64, 20)), ('CONTROL_LightSlider', (92, 280, 164, 24)),
          ('CONTROL_SpeedStatic', (24, 312, 64, 20)), ('CONTROL_SpeedSlider', (92, 310, 164, 24)),
          (';   direction without speed (effect 18) uses the speed row; with speed the row below', None),
          ('CONTROL_BLFXStatic', (24, 312, 64, 20)),
          ('CONTROL_BLFXLStaPic', (92, 310, 78, 24)), ('CONTROL_BLFXRStaPic', (178, 310, 78, 24)),
          ('CONTROL_BLFXStatic2', (24, 342, 64, 20)),
          ('CONTROL_BLFXLStaPic2', (92, 340, 78, 24)), ('CONTROL_BLFXRStaPic2', (178, 340, 78, 24)),
          ('CONTROL_BLFXStatic3', (24, 342, 64, 20)),
          ('CONTROL_BLFXLStaPic3', (92, 340, 78, 24)), ('CONTROL_BLFXRStaPic3', (178, 340, 78, 24)),
          (';   colour groups: only one of HX, FY, USER and the presets is shown at a time', None),
          ('CONTROL_HXysStatic', (24, 372, 64, 20)), ('CONTROL_HXysButton', (92, 370, 56, 24)),
          ('CONTROL_HXsjsStatic', (156, 372, 52, 20)), ('CONTROL_HXsjsStaPic', (212, 370, 44, 24)),
          ('CONTROL_FYysStatic', (24, 372, 64, 20)), ('CONTROL_FYYSButton', (92, 370, 56, 24)),
          ('CONTROL_FYsjsStatic', (156, 372, 52, 20)), ('CONTROL_FYSJSStaPic', (212, 370, 44, 24)),
          ('CONTROL_HONGPIC', (24, 370, 52, 24)), ('CONTROL_HUANGPIC', (84, 370, 52, 24)),
          ('CONTROL_LVPIC', (144, 370, 52, 24)), ('CONTROL_LANPIC', (204, 370, 52, 24)),
          ('CONTROL_USERysStatic', (24, 372, 64, 20)), ('CONTROL_USERysButton', (92, 370, 56, 24)),
          ('CONTROL_USERjsStatic', (156, 372, 52, 20)), ('CONTROL_USERjsButton', (212, 370, 44, 24)),
          ('CONTROL_USERgjStatic', (24, 402, 64, 20)),
          ('CONTROL_USERgjStaPic1', (92, 400, 78, 24)), ('CONTROL_USERgjStaPic2', (178, 400, 78, 24)),
          ('CONTROL_umCombo', (24, 430, 232, 24)),
          (';   controls no effect shows (kept so the panel can grow into them)', None),
          ('CONTROL_JTysButton', (92, 370, 56, 24)),
          ('CONTROL_TSysButton', (92, 400, 56, 24)), ('CONTROL_TSsjsStaPic', (212, 400, 44, 24)),
          ('CONTROL_CDysButton', (92, 430, 56, 24)), ('CONTROL_CDsjsStaPic', (212, 430, 44, 24)),
          ('CONTROL_FYdjcfStaPic', (92, 400, 78, 24)), ('CONTROL_FYggcfStaPic', (178, 400, 78, 24)),
          ('CONTROL_UsbStatic', (24, 470, 56, 20)),
          ('FUNC_REPORT1', (84, 466, 40, 28)), ('FUNC_REPORT2', (128, 466, 40, 28)),
          ('FUNC_REPORT3', (172, 466, 40, 28)), ('FUNC_REPORT4', (216, 466, 40, 28))]
    buttons = [(k if v is not None else k, v) for k, v in b]
    b2 = [('UP_ARROW_LEFT1', (20, 20, 28, 28)), ('UP_ARROW_LEFT2', (52, 20, 28, 28)),
          ('DOWN_ARROW_LEFT1', (84, 20, 28, 28)), ('DOWN_ARROW_LEFT2', (116, 20, 28, 28)),
          ('UP_ARROW_RIGHT1', (20, 52, 28, 28)), ('UP_ARROW_RIGHT2', (52, 52, 28, 28)),
          ('DOWN_ARROW_RIGHT1', (84, 52, 28, 28)), ('DOWN_ARROW_RIGHT2', (116, 52, 28, 28))]
    modes_zh = ['彩虹波浪', '流光脉冲', '蛇形流动', '七彩渐变', '呼吸', '常亮', '按键涟漪', '按键点亮',
                '十字触发', '繁星闪烁', '多彩光谱', '瀑布', '水滴涟漪', '打字余辉', '雨滴', '流星',
                '预设四色', '环形扩散', '保留', '自定义按键色']
    modes_en = ['Rainbow Wave', 'Flowing Pulse', 'Serpentine', 'Colour Cycle', 'Breathing', 'Static',
                'Reactive Ripple', 'Reactive Keys', 'Reactive Cross', 'Twinkle', 'Spectrum', 'Waterfall',
                'Raindrops', 'Typing Trail', 'Rain', 'Meteor', 'Preset Colours', 'Rings', 'Reserved',
                'Per-Key Colours']
    names_zh = [('Usb', '回报率'), ('Deng', '灯光模式'), ('Light', '亮度'), ('FX', '方向'), ('Speed', '速度'),
                ('Color', '颜色'), ('JColor', '基色'), ('DC', '随机'), ('Tool', '工具'), ('Other', '其他颜色...')]
    names_en = [('Usb', 'Rate'), ('Deng', 'Lighting'), ('Light', 'Brightness'), ('FX', 'Direction'),
                ('Speed', 'Speed'), ('Color', 'Colour'), ('JColor', 'Base'), ('DC', 'Random'),
                ('Tool', 'Tool'), ('Other', 'More colours...')]
    write_ini('Main.ini', [
        ('', 'Main window layout. Rectangles are x,y,w,h in client pixels.\n'
             'Pictures are painted from this file by skingen; edit here and rebuild.\n'
             'SCREEN/Size and STYLE are read by skingen only (the colours of every picture of the skin).'),
        ('SCREEN', [('Main', 'main_bg.bmp'), ('Mask', 'main_mask.bmp'), ('Size', '1272,516'),
                    ('Link', 'https://talvenix.org/')]),
        ('STYLE', [('Window', '#15171C'), ('Panel', '#1E2128'), ('Field', '#101216'), ('Border', '#343944'),
                   ('Text', '#E4E4E4'), ('Accent', '#00B4FF'), ('AccentDeep', '#005F8C')]),
        ('BUTTONINFO', [(k, v) if v is not None else (k, None) for k, v in buttons]),
        ('BUTTONINFO2', b2),
        ('KEYCAPS', caps),
        ('Mode', [(str(i + 1), n) for i, n in enumerate(modes_zh)]),
        ('Mode1', [(str(i + 1), n) for i, n in enumerate(modes_en)]),
        ('Control_Name', names_zh),
        ('Control_Name1', names_en),
    ])


def dialog_common(w):
    return [('CONTROL_TITLE', (44, 12, w - 110, 22)), ('CONTROL_CLOSE', (w - 40, 10, 28, 28))]


def screen(bg, mask, size):
    return ('SCREEN', [('Main', bg), ('Mask', mask), ('Size', '%d,%d' % size)])


def profile_ini():
    w, h = 520, 372
    write_ini('Profile.ini', [
        ('', 'Profile manager layout (picture set Profile_*).'),
        screen('Profile_bg.bmp', 'Profile_mask.bmp', (w, h)),
        ('BUTTONINFO', dialog_common(w) + [
            ('PROGRAM_LIST', (20, 52, 480, 212)),
            ('FUNC_ADD', (20, 274, 36, 32)), ('FUNC_LOAD', (62, 274, 36, 32)), ('FUNC_DELETE', (104, 274, 36, 32)),
            ('CONTROL_OK', (208, 326, 92, 32)), ('CONTROL_CANCEL', (306, 326, 92, 32)),
            ('CONTROL2_APPLY', (404, 326, 96, 32))]),
    ])


# The composite dialog, the single-key dialog and the macro editor share picture sets (key_*, macro_*),
# so they share one frame: a control that appears in two of them sits at the same place, and no
# face-bearing rectangle of one overlaps a different one of another.
CW, CH = 600, 470
OK_CANCEL = [('CONTROL_OK', (270, 428, 92, 32)), ('CONTROL_CANCEL', (368, 428, 92, 32))]
APPLY = [('CONTROL2_APPLY', (466, 428, 98, 32))]
ACTION_LIST = (36, 192, 400, 190)
ACTION_BUTTONS = [('RECORD', (448, 192, 116, 30)), ('DELETE2', (448, 228, 56, 30)),
                  ('CLEAR', (508, 228, 56, 30)), ('UP_TOP', (448, 264, 56, 30)), ('UP', (508, 264, 56, 30)),
                  ('DOWN', (448, 300, 56, 30)), ('DOWN_BOTTOM', (508, 300, 56, 30))]
ADD_DELETE = [('ADD', (342, 152, 30, 30)), ('DELETE', (376, 152, 30, 30))]
RECORD_DELAY = (36, 390, 180, 24)


def composite_ini():
    write_ini('Composite.ini', [
        ('', 'Composite key dialog layout (picture sets key_*, macro_*, macro2_*, media_*, function_*).'),
        screen('Composite_bg.bmp', 'Composite_mask.bmp', (CW, CH)),
        ('BUTTONINFO', dialog_common(CW) + [
            ('CONTROL_KEY', (20, 48, 116, 32)), ('CONTROL_MACRO', (140, 48, 116, 32)),
            ('CONTROL_MEDIA', (260, 48, 116, 32)), ('CONTROL_FUNCTION', (380, 48, 116, 32)),
            ('CONTROL_CLEAR', (508, 48, 36, 32)), ('CONTROL_OSK', (548, 48, 36, 32)),
            ('CONTROL_MASK', (20, 90, 564, 30)),
            ('; single-key page', None),
            ('KEY_SETTING', (36, 132, 400, 20)), ('FUNC_KEY_INPUT', (36, 156, 300, 26)),
            ('TISHI_SINGLE_STATIC', (36, 194, 400, 60)),
            ('; macro page', None),
            ('MARCO_NAME_SETTING', (36, 132, 300, 20)), ('FUNC_MACRO_LIST', (36, 154, 300, 26))]
            + [('FUNC_MACRO_' + k, r) for k, r in ADD_DELETE]
            + [('FUNC_MACRO_LIST2', ACTION_LIST)]
            + [('FUNC_MACRO_' + k, r) for k, r in ACTION_BUTTONS]
            + [('FUNC_MACRO_RECORD_DELAY', RECORD_DELAY), ('FUNC_MACRO_RECORD_DELAY2', (220, 392, 100, 20)),
               ('FUNC_MACRO_CYCLES_PROMPT', (340, 392, 120, 20)), ('FUNC_MACRO_CYCLES', (464, 390, 100, 24)),
               ('; multimedia and function pages', None),
               ('MEDIA_SETTING_TISHI', (36, 132, 400, 20)), ('FUNC_MEDIA_SELECT', (36, 156, 300, 26)),
               ('FUNCTION_KEY_SETTING_TISHI', (36, 132, 400, 20)), ('FUNC_FUNCTION_SELECT', (36, 156, 300, 26))]
            + OK_CANCEL + APPLY),
    ])


def key_ini():
    sel = [('FUNC_SEL_%d' % (i + 1), (36, 132 + 34 * i, 200, 24)) for i in range(7)]
    write_ini('Key.ini', [
        ('', 'Single-key dialog layout (picture set key_*; shares the composite dialog\'s frame).'),
        screen('Key_bg.bmp', 'Key_mask.bmp', (CW, CH)),
        ('BUTTONINFO', dialog_common(CW) + [('KEY_SETTING', (36, 64, 528, 22)),
                                            ('TISHI_SINGLE_STATIC', (36, 92, 528, 22))] + sel + [
            ('FUNC_EXTRA_1', (250, 200, 190, 24)), ('FUNC_EXTRA_2', (250, 234, 150, 24)),
            ('FUNC_EXTRA_2_2', (404, 232, 36, 28)), ('FUNC_EXTRA_3', (250, 268, 190, 24)),
            ('FUNC_EXTRA_4', (36, 374, 400, 44))] + OK_CANCEL),
    ])


def macro_ini():
    write_ini('Macro.ini', [
        ('', 'Macro editor layout (picture set macro_*; macro_other.jpg for Record while recording and Apply).'),
        screen('Macro_bg.bmp', 'Macro_mask.bmp', (CW, CH)),
        ('BUTTONINFO', dialog_common(CW) + [('PROGRAM_LIST', (36, 52, 300, 130))]
            + [('FUNC_' + k, r) for k, r in ADD_DELETE]
            + [('PROGRAM_LIST2', ACTION_LIST)]
            + [('FUNC_' + k, r) for k, r in ACTION_BUTTONS]
            + [('FUNC_RECORD_DELAY', RECORD_DELAY)] + OK_CANCEL + APPLY),
    ])


def update_ini():
    w, h = 460, 236
    write_ini('UpdateDlg.ini', [
        ('', 'Firmware update dialog layout (picture set update_normal / update_over).'),
        screen('UpdateDlg_bg.bmp', 'UpdateDlg_mask.bmp', (w, h)),
        ('BUTTONINFO', [('CONTROL_TITLE', (44, 12, 360, 22)),
                        ('CONTROL_UPStatic', (24, 60, 412, 40)),
                        ('CONTROL_UPCombox', (24, 112, 366, 26)), ('CONTROL_OPENButton', (396, 110, 40, 30)),
                        ('CONTROL_BACKUPButton', (24, 180, 104, 34)),
                        ('CONTROL_UPButton', (226, 180, 104, 34)), ('CONTROL_CUPButton', (336, 180, 100, 34))]),
    ])


# The 104 key buttons and Fn with their colour slots, for the colour-set template.
SLOTS = {
    0x01E: 64, 0x030: 90, 0x02E: 88, 0x020: 66, 0x012: 45, 0x021: 67, 0x022: 68, 0x023: 69, 0x017: 50,
    0x024: 70, 0x025: 71, 0x026: 72, 0x032: 92, 0x031: 91, 0x018: 51, 0x019: 52, 0x010: 43, 0x013: 46,
    0x01F: 65, 0x014: 47, 0x016: 49, 0x02F: 89, 0x011: 44, 0x02D: 87, 0x015: 48, 0x02C: 86,
    0x002: 22, 0x003: 23, 0x004: 24, 0x005: 25, 0x006: 26, 0x007: 27, 0x008: 28, 0x009: 29, 0x00A: 30,
    0x00B: 31, 0x01C: 76, 0x001: 0, 0x00E: 34, 0x00F: 42, 0x039: 108, 0x00C: 32, 0x00D: 33, 0x01A: 53,
    0x01B: 54, 0x02B: 55, 0x027: 73, 0x028: 74, 0x029: 21, 0x033: 93, 0x034: 94, 0x035: 95,
    0x03B: 1, 0x03C: 2, 0x03D: 3, 0x03E: 4, 0x03F: 5, 0x040: 6, 0x041: 7, 0x042: 8, 0x043: 9, 0x044: 10,
    0x057: 11, 0x058: 12, 0x0B7: 14, 0x045: 16, 0x0D2: 35, 0x0D3: 56, 0x0C7: 36, 0x0CF: 57, 0x0C9: 37,
    0x0D1: 58, 0x0C8: 99, 0x0D0: 120, 0x0CB: 119, 0x0CD: 121, 0x046: 15, 0x03A: 63, 0x0DD: 111,
    0x01D: 105, 0x09D: 113, 0x02A: 84, 0x036: 97, 0x038: 107, 0x0B8: 109, 0x0DB: 106, 0x0DC: 112,
    0x04F: 101, 0x050: 102, 0x051: 103, 0x04B: 80, 0x04C: 81, 0x04D: 82, 0x047: 59, 0x048: 60, 0x049: 61,
    0x052: 123, 0x0C5: 38, 0x09C: 104, 0x053: 124, 0x0B5: 39, 0x037: 40, 0x04A: 41, 0x04E: 62,
    'FN': 110,
}


def hsv(h, s=1.0, v=1.0):
    import colorsys
    r, g, b = colorsys.hsv_to_rgb(h % 1.0, s, v)
    return (round(r * 255), round(g * 255), round(b * 255))


def template():
    assert len(SLOTS) == 105
    sets = []
    slots = sorted(set(SLOTS.values()))
    wasd = {44, 64, 65, 66}
    arrows = {99, 119, 120, 121}
    nav = {35, 36, 37, 56, 57, 58}
    numpad = {38, 39, 40, 41, 59, 60, 61, 62, 80, 81, 82, 101, 102, 103, 104, 123, 124}
    frow = set(range(0, 17))
    mods = {42, 63, 84, 97, 105, 106, 107, 108, 109, 110, 111, 112, 113, 76, 34}

    def uniform(c):
        return {s: (c, 1) for s in slots}

    def by_column(fn):
        return {s: (fn(s % 21, s // 21), 0) for s in slots}

    sets.append(('Crimson', (255, 0, 0), (255, 0, 0), 1, uniform((255, 0, 0))))
    sets.append(('Ice Blue', (0, 150, 255), (0, 150, 255), 1, uniform((0, 150, 255))))
    sets.append(('Rainbow', (255, 255, 255), (0, 180, 255), 0, by_column(lambda c, r: hsv(c / 21.0))))
    sets.append(('Sunset', (255, 80, 0), (255, 0, 120), 0,
                 by_column(lambda c, r: hsv(0.95 + 0.12 * r / 5.0, 1.0, 1.0))))
    d = uniform((40, 40, 60))
    for s in wasd | arrows:
        d[s] = ((255, 40, 0), 0)
    sets.append(('WASD Focus', (40, 40, 60), (255, 40, 0), 0, d))
    d = {}
    for s in slots:
        if s in wasd or s in {43, 45, 46, 63, 84, 105, 108}:
            d[s] = ((255, 170, 0), 0)
        elif s in frow:
            d[s] = ((120, 0, 255), 0)
        elif s in numpad:
            d[s] = ((0, 255, 120), 0)
        else:
            d[s] = ((0, 90, 255), 1)
    sets.append(('FPS Zones', (0, 90, 255), (255, 170, 0), 0, d))
    d = {}
    for s in slots:
        if s in {43, 44, 45, 46, 22, 23, 24, 25}:
            d[s] = ((0, 255, 200), 0)
        elif s in frow:
            d[s] = ((255, 200, 0), 0)
        else:
            d[s] = ((255, 0, 90), 1)
    sets.append(('MOBA', (255, 0, 90), (0, 255, 200), 0, d))
    sets.append(('Forest', (0, 200, 60), (160, 255, 0), 0,
                 by_column(lambda c, r: hsv(0.25 + 0.1 * c / 20.0, 1.0, 0.6 + 0.4 * r / 5.0))))
    d = uniform((255, 255, 255))
    for s in mods | nav | arrows:
        d[s] = ((90, 90, 110), 0)
    sets.append(('Monochrome', (255, 255, 255), (90, 90, 110), 0, d))
    sets.append(('Custom', (255, 0, 0), (255, 255, 255), 0, uniform((255, 0, 0))))
    assert len(sets) == 10

    lines = ['; Colour-set template: copied into each hardware profile\'s colour file on first run.',
             '[PRESENTMODE]', 'mode=0', '', '[MODENAME]']
    lines += ['%d=%s' % (i, s[0]) for i, s in enumerate(sets)]
    for i, (name, base, colour, tool, keys) in enumerate(sets):
        lines += ['', '[Mode%d]' % i, 'tool=%d' % tool, 'jcolor=%d,%d,%d' % base, 'color=%d,%d,%d' % colour]
        for s in slots:
            (r, g, b), flag = keys[s]
            lines.append('%d=%d,%d,%d,%d' % (s, r, g, b, flag))
    with open(os.path.join(HERE, '..', 'UserDengColor_3.userd'), 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    os.makedirs(LAYOUT, exist_ok=True)
    main_ini()
    profile_ini()
    composite_ini()
    key_ini()
    macro_ini()
    update_ini()
    template()
