#!/usr/bin/env python3
"""Self-test of the parity tooling: the list generator and the comparison."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import compare_parity  # noqa: E402
import gen_constants  # noqa: E402

HEADER = r'''
#ifndef KESTRIX_PLATFORM_FAKE_H
#define KESTRIX_PLATFORM_FAKE_H
#define WINAPI
#define FAKE_FLAG 0x10 /* comment */
#define FAKE_SUM (FAKE_FLAG | \
                  0x20)
#define FAKE_MACRO(x) ((x) + 1)
typedef enum _FAKE_ENUM { FAKE_A = 1, FAKE_B, FAKE_C = 0x7fffffff } FAKE_ENUM;
DEFINE_GUID(IID_Fake, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11);
#define DEFINE_GUID(name, l) EXTERN_C const GUID name
typedef struct _FAKE {
  DWORD dwSize;
  union {
    DWORD dwA;
    LONG lB;
  };
  struct {
    WORD lo, hi;
  } pair;
  char szName[32];
} FAKE, *LPFAKE;
#endif
'''


class GeneratorTest(unittest.TestCase):
    def generate(self):
        with tempfile.TemporaryDirectory() as d:
            with open(os.path.join(d, 'fake.h'), 'w') as f:
                f.write(HEADER)
            out = os.path.join(d, 'list.inc')
            sys.argv = ['gen', d, out]
            gen_constants.main()
            with open(out) as f:
                return f.read().splitlines()

    def test_lists_constants_but_not_plumbing(self):
        lines = self.generate()
        self.assertIn('KX_MACRO(FAKE_FLAG)', lines)
        self.assertIn('KX_MACRO(FAKE_SUM)', lines)
        self.assertIn('KX_MISSING(FAKE_FLAG)', lines)
        for absent in ('FAKE_MACRO', 'WINAPI', 'KESTRIX_PLATFORM_FAKE_H', 'DEFINE_GUID'):
            self.assertFalse(any('(%s)' % absent in l for l in lines), absent)

    def test_lists_enumerators_guids_and_layout(self):
        lines = self.generate()
        for name in ('FAKE_A', 'FAKE_B', 'FAKE_C'):
            self.assertIn('KX_ENUM(%s)' % name, lines)
        self.assertEqual(['KX_GUID(IID_Fake)'], [l for l in lines if l.startswith('KX_GUID')])
        self.assertIn('KX_SIZE(FAKE)', lines)
        offsets = [l for l in lines if l.startswith('KX_OFFSET')]
        self.assertEqual(['KX_OFFSET(FAKE, %s)' % f for f in ('dwSize', 'dwA', 'lB', 'pair', 'szName')], offsets)


class CompareTest(unittest.TestCase):
    def test_identical_outputs_pass(self):
        text = 'A 0x00000001\nsizeof(FAKE) 12\noffsetof(FAKE, dwA) 4\n'
        self.assertEqual((3, []), compare_parity.compare(text, text.replace('\n', '\r\n')))

    def test_every_difference_is_listed(self):
        host = 'A 0x00000001\nB 0x00000002\nC "x"\nsizeof(FAKE) 12\n'
        real = 'A 0x00000001\nB 0x00000003\nC <not defined as a macro>\nsizeof(FAKE) 16\nD 0x00000004\n'
        count, problems = compare_parity.compare(host, real)
        self.assertEqual(4, count)
        self.assertEqual(4, len(problems))
        self.assertTrue(any(p.startswith('B:') for p in problems))
        self.assertTrue(any(p.startswith('C:') for p in problems))
        self.assertTrue(any(p.startswith('sizeof(FAKE):') for p in problems))
        self.assertTrue(any(p.startswith('D:') and 'only the real headers' in p for p in problems))

    def test_missing_on_the_windows_side_fails(self):
        _, problems = compare_parity.compare('ONLY_STANDIN 0x00000001\n', '')
        self.assertEqual(1, len(problems))


if __name__ == '__main__':
    unittest.main()
