// Lexer of the scene language. Token numbers come from FractalVocab.
// Identifiers carry the alias mechanism: "name := body;" defines an alias,
// and a later use of the name reads the body in its place (ScannerCore).

header "pre_include_hpp" {
#include "lang/scanner_core.h"
}

options { language = "Cpp"; namespace = "lang"; }

class FractalLexer extends Lexer("lang::ScannerCore");
options {
  k = 2;
  importVocab = FractalVocab;
  testLiterals = false;
  charVocabulary = '\u0000'..'\u00FF';
  defaultErrorHandler = false;
}

LPAREN : '(' ;
RPAREN : ')' ;
LBRACK : '[' ;
RBRACK : ']' ;
LCURLY : '{' ;
RCURLY : '}' ;
COMMA : ',' ;
QUESTION : '?' ;
COLON : ':' ;
BNOT : '~' ;

// Inside an alias body the ';' ends the substitution instead.
SEMI : ';' { if (endSubstitution()) $setType(antlr::Token::SKIP); } ;

ARROW : "->" ;
EQUAL : "==" ;
NOT_EQUAL : "!=" ;
LESS_EQUAL : "<=" ;
GREATER_EQUAL : ">=" ;
DIV_ASSIGN : "/=" ;
PLUS_ASSIGN : "+=" ;
INC : "++" ;
MINUS_ASSIGN : "-=" ;
DEC : "--" ;
STAR_ASSIGN : "*=" ;
MOD_ASSIGN : "%=" ;
SR : ">>" ;
SL : "<<" ;
POW_ASSIGN : "^=" ;
LAND : "&&" ;
LOR : "||" ;
BAND_ASSIGN : "&=" ;
BOR_ASSIGN : "|=" ;

ASSIGN : '=' ;
LESS : '<' ;
GREATER : '>' ;
DIV : '/' ;
PLUS : '+' ;
MINUS : '-' ;
STAR : '*' ;
MOD : '%' ;
POW : '^' ;
LNOT : '!' ;
BAND : '&' ;
BOR : '|' ;

// The identifier rule. After the name, white space and comments are skipped
// so that a following ":=" makes a definition; the token keeps the name alone.
ALIAS
{ std::string name; int type; }
  : ( 'a'..'z' | 'A'..'Z' | '_' )
    ( options { greedy = true; } : 'a'..'z' | 'A'..'Z' | '_' | '0'..'9' )*
    { name = $getText; type = testLiteralsTable(name, ID); }
    ( options { greedy = true; } : WHITESPACE! | NEWLINE! | SL_COMMENT! | BASH_COMMENT! | ML_COMMENT! )*
    {
      if (type == ID && LA(1) == ':' && LA(2) == '=') {
        match(":=");
        defineAlias(name);
        mALIAS_BODY(false);
        finishAlias(name);
        type = antlr::Token::SKIP;
      } else if (type == ID && beginSubstitution(name)) {
        type = antlr::Token::SKIP;
      }
      $setType(type);
      $setText(name);
    }
  ;

// An alias body: everything up to the first ';' outside comments. Line
// breaks are counted; a '/' is part of the body only when a character follows.
protected ALIAS_BODY
  : {
      for (;;) {
        const int c = LA(1);
        if (c == ';' || c == EOF_CHAR) break;
        if (c == '\n' || c == '\r') mNEWLINE(false);
        else if (c == '#') mBASH_COMMENT(false);
        else if (c == '/' && LA(2) == '/') mSL_COMMENT(false);
        else if (c == '/' && LA(2) == '*') mML_COMMENT(false);
        else if (c == '/' && LA(2) == EOF_CHAR)
          throw antlr::NoViableAltForCharException(c, getFilename(), getLine(), getColumn());
        else consume();
      }
    }
    ';'
  ;

// 0x followed by hexadecimal digits; the token text is the digits alone.
HEXNUMBER
  : "0x"! ( options { greedy = true; } : '0'..'9' | 'a'..'f' | 'A'..'F' )+
  ;

// Integers; a full stop or an exponent makes a DOUBLE; a lone full stop is DOT.
INTEGER
  : ( options { greedy = true; } : DIGIT )+
    ( options { greedy = true; } : '.' ( options { greedy = true; } : DIGIT )* { $setType(DOUBLE); } )?
    { if (LA(1) == 'e' || LA(1) == 'E') { mEXPONENT(false); $setType(DOUBLE); } }
  | '.'
    ( ( DIGIT )+ { $setType(DOUBLE); }
      { if (LA(1) == 'e' || LA(1) == 'E') mEXPONENT(false); }
    | { $setType(DOT); }
    )
  ;

protected DIGIT : '0'..'9' ;

protected EXPONENT : ( 'e' | 'E' ) ( '+' | '-' )? ( options { greedy = true; } : DIGIT )+ ;

STRING_LITERAL
  : '"'! ( '\\' '"' | ~( '"' | '\\' ) )* '"'!
  ;

QUOTED_STRING
  : '\''! ( '\\' '\'' | ~( '\'' | '\\' ) )* '\''!
  ;

BASH_COMMENT
  : '#' ( ~( '\n' | '\r' ) )* NEWLINE
    { $setType(antlr::Token::SKIP); }
  ;

SL_COMMENT
  : "//" ( ~( '\n' | '\r' ) )* NEWLINE
    { $setType(antlr::Token::SKIP); }
  ;

ML_COMMENT
  : "/*"
    ( options { generateAmbigWarnings = false; }
    : { LA(2) != '/' }? '*'
    | NEWLINE
    | ~( '*' | '\n' | '\r' )
    )*
    "*/"
    { $setType(antlr::Token::SKIP); }
  ;

WS
  : ( WHITESPACE | NEWLINE )
    { $setType(antlr::Token::SKIP); }
  ;

// Every control byte from 3 up but the line breaks, the blank, and every byte
// with the high bit set.
protected WHITESPACE
  : '\u0003'..'\u0009' | '\u000B' | '\u000C' | '\u000E'..' ' | '\u007F'..'\u00FF'
  ;

// "\r\n", a lone "\r" and a lone "\n" are one line break each.
protected NEWLINE
  : ( options { generateAmbigWarnings = false; } : "\r\n" | '\r' | '\n' )
    { newline(); }
  ;
