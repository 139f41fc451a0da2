"""Names that a Fortran program uses for its own purposes.  A library
constant of such a name would be copied into every program that calls the
intrinsic (the extractor finds it as an identifier) and would hide it."""

import re

INTRINSIC_PROCEDURES = frozenset("""
ABS ACHAR ACOS ACOSH ADJUSTL ADJUSTR AIMAG AINT ALL ALLOCATED ANINT ANY ASIN
ASINH ASSOCIATED ATAN ATAN2 ATANH BESSEL_J0 BESSEL_J1 BESSEL_JN BESSEL_Y0
BESSEL_Y1 BESSEL_YN BGE BGT BIT_SIZE BLE BLT BTEST CEILING CHAR CMPLX
COMMAND_ARGUMENT_COUNT CONJG COS COSH COUNT CPU_TIME CSHIFT DATE_AND_TIME DBLE
DIGITS DIM DOT_PRODUCT DPROD DSHIFTL DSHIFTR EOSHIFT EPSILON ERF ERFC
ERFC_SCALED EXECUTE_COMMAND_LINE EXP EXPONENT EXTENDS_TYPE_OF FLOOR FRACTION
GAMMA GET_COMMAND GET_COMMAND_ARGUMENT GET_ENVIRONMENT_VARIABLE HUGE HYPOT
IACHAR IALL IAND IANY IBCLR IBITS IBSET ICHAR IEOR IMAGE_INDEX INDEX INT IOR
IPARITY ISHFT ISHFTC IS_CONTIGUOUS IS_IOSTAT_END IS_IOSTAT_EOR KIND LBOUND
LCOBOUND LEADZ LEN LEN_TRIM LGE LGT LLE LLT LOG LOG10 LOG_GAMMA LOGICAL MASKL
MASKR MATMUL MAX MAXEXPONENT MAXLOC MAXVAL MERGE MERGE_BITS MIN MINEXPONENT
MINLOC MINVAL MOD MODULO MOVE_ALLOC MVBITS NEAREST NEW_LINE NINT NORM2 NOT
NULL NUM_IMAGES PACK PARITY POPCNT POPPAR PRECISION PRESENT PRODUCT RADIX
RANDOM_NUMBER RANDOM_SEED RANGE RANK REAL REPEAT RESHAPE RRSPACING
SAME_TYPE_AS SCALE SCAN SELECTED_CHAR_KIND SELECTED_INT_KIND
SELECTED_REAL_KIND SET_EXPONENT SHAPE SHIFTA SHIFTL SHIFTR SIGN SIN SINH SIZE
SPACING SPREAD SQRT STORAGE_SIZE SUM SYSTEM_CLOCK TAN TANH THIS_IMAGE TINY
TRAILZ TRANSFER TRANSPOSE TRIM UBOUND UCOBOUND UNPACK VERIFY
ALOG ALOG10 AMAX0 AMAX1 AMIN0 AMIN1 AMOD CABS CCOS CEXP CLOG CSIN CSQRT DABS
DACOS DASIN DATAN DATAN2 DCOS DCOSH DDIM DEXP DINT DLOG DLOG10 DMAX1 DMIN1
DMOD DNINT DSIGN DSIN DSINH DSQRT DTAN DTANH FLOAT IABS IDIM IDINT IDNINT
IFIX ISIGN MAX0 MAX1 MIN0 MIN1 SNGL
C_ASSOCIATED C_F_POINTER C_F_PROCPOINTER C_FUNLOC C_LOC C_SIZEOF
""".split())

# Everything ISO_C_BINDING exports that the library files use, so that no
# constant can shadow a kind the declarations need.
ISO_C_BINDING_NAMES = frozenset("""
C_CHAR C_DOUBLE C_FLOAT C_FUNPTR C_INT C_INT8_T C_INT16_T C_INT32_T C_INT64_T
C_INTPTR_T C_LONG C_LONG_LONG C_NULL_CHAR C_NULL_FUNPTR C_NULL_PTR C_PTR
C_SHORT C_SIGNED_CHAR C_SIZE_T C_BOOL
""".split())

RESERVED = INTRINSIC_PROCEDURES | ISO_C_BINDING_NAMES

# A name Fortran takes: a letter, then up to 62 letters, digits and "_".
FORTRAN_NAME = re.compile(r"^[A-Za-z][A-Za-z0-9_]{0,62}$")

# Names a program is likely to give its own variables: one or two letters,
# digits after them or not (CX, CY, X1), and the short lower-case control
# numbers of the dialog templates (rad1, lst2, edt10), which Fortran, blind
# to case, would read as RAD1.  A library symbol of such a name would be
# copied into every program that has the variable, and clash with it.
_LIKELY_VARIABLE = re.compile(r"^(?:[A-Za-z]{1,2}[0-9]*|[a-z]{1,3}[0-9]+)$")


# Second C names of types that are everyday words (LSA_STRING is STRING,
# LOGBRUSH is PATTERN): a program naming a variable so would get a type it
# never asked for.
_EVERYDAY_WORDS = frozenset({"STRING", "PATTERN"})


# Constants named by a plain word that a program gives its own variables:
# the truth values (a Fortran program's own are .TRUE. and .FALSE., so
# TRUE and FALSE name its LOGICAL variables), and the words for an outcome,
# a state or a measure that the headers define bare, without the prefix of
# a family (ERROR of a region's type, IGNORE of a comm signal, ABSOLUTE and
# RELATIVE, the NetBIOS name states, PENDING and SUCCESS of RAS,
# DIFFERENCE of the resource numbers, the STRICT switch): a program naming
# a variable so would get the constant copied in and the compiler refuse
# the two.  The words that C programs pass as arguments (TRANSPARENT,
# OPAQUE, INFINITE, DELETE) stay.
_EVERYDAY_CONSTANTS = frozenset("""
TRUE FALSE ERROR IGNORE ABSOLUTE RELATIVE SUCCESS PENDING DUPLICATE
REGISTERED REGISTERING DEREGISTERED DIFFERENCE STRICT
""".split())


def everyday_word(name):
    return name.upper() in _EVERYDAY_CONSTANTS


def likely_variable_name(name):
    return bool(_LIKELY_VARIABLE.match(name)) or name.upper() in _EVERYDAY_WORDS


# A program names its own procedure of a callback type <X>PROC as the type
# says, in mixed case (WNDPROC: WndProc, TIMERPROC: TimerProc); the job,
# blind to case, would copy the type's abstract interface for it, and the
# compiler refuse the procedure.  Such a type's interface takes this suffix.
_PROC_TYPE = re.compile(r"PROC[AW]?$")
RENAMED_CALLBACK_SUFFIX = "_INTERFACE"


def callback_name(c_name):
    """The Fortran name of a callback type's abstract interface: the C
    name, with RENAMED_CALLBACK_SUFFIX after one that ends in PROC
    (before a final A or W)."""
    if _PROC_TYPE.search(c_name.upper()):
        return c_name + RENAMED_CALLBACK_SUFFIX
    return c_name
